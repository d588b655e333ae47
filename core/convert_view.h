#pragma once

#include "core/file_path.h"

#include <QString>

namespace grelm {

/// What the Convert command needs from the main window: the controls it reads
/// at the moment it needs them, the progress caption and bar it drives, and a
/// turn of the window's event handling. The window implements it; tests and
/// the benchmark supply headless ones.
class ConvertView {
public:
    virtual ~ConvertView() = default;

    virtual FilePath gameFolder() const = 0;       ///< the folder TxtSetFolder shows
    virtual QString countText() const = 0;         ///< text of txtPicturesFound
    virtual bool thumbsChecked() const = 0;        ///< chkThumbs is checked
    virtual bool deleteSourceChecked() const = 0;  ///< chkDelSource is checked
    virtual QString thumbWidthText() const = 0;    ///< text of txtThumbs

    /// Shows the progress bar cleared to its background, and the caption.
    virtual void showProgress() = 0;
    virtual void setProgressCaption(const QString &caption) = 0;
    virtual int progressBarWidth() const = 0;
    /// Fills the bar from its left edge to `fill` pixels in the highlight colour.
    virtual void fillProgressBar(int fill) = 0;
    /// Hides the progress bar and caption.
    virtual void hideProgress() = 0;

    /// Lets the window handle all of its pending events once.
    virtual void processEvents() = 0;
    /// True once the user has asked to close the window: the pass stops after the current file.
    virtual bool stopRequested() const = 0;
};

} // namespace grelm
