#pragma once

#include "core/convert_view.h"
#include "support/qt_print.h"

#include <QStringList>

#include <functional>

namespace grelm::test {

/// A headless window for the Convert command: controls are plain fields, and
/// every progress step is recorded as text ("show", "caption:...", "fill:N",
/// "yield", "hide") in the order it happened.
class RecordingConvertView : public ConvertView {
public:
    FilePath folder;
    QString count = QStringLiteral("0");
    bool thumbs = false;
    bool deleteSource = false;
    QString width = QStringLiteral("70");
    int barWidth = 120;

    QStringList steps;
    int widthReads = 0;
    int yields = 0;
    bool stop = false;
    /// Runs at every yield, with the number of yields so far.
    std::function<void(int)> onYield;
    /// Runs each time the thumbnail width is read, with the number of reads so far.
    std::function<void(int)> onWidthRead;
    /// Runs each time the game folder is read, e.g. to throw there.
    std::function<void()> onGameFolder;

    FilePath gameFolder() const override
    {
        if (onGameFolder)
            onGameFolder();
        return folder;
    }
    QString countText() const override { return count; }
    bool thumbsChecked() const override { return thumbs; }
    bool deleteSourceChecked() const override { return deleteSource; }
    QString thumbWidthText() const override
    {
        auto *self = const_cast<RecordingConvertView *>(this);
        ++self->widthReads;
        if (onWidthRead)
            onWidthRead(widthReads);
        return width;
    }
    void showProgress() override { steps << QStringLiteral("show"); }
    void setProgressCaption(const QString &caption) override { steps << QStringLiteral("caption:") + caption; }
    int progressBarWidth() const override { return barWidth; }
    void fillProgressBar(int fill) override { steps << QStringLiteral("fill:%1").arg(fill); }
    void hideProgress() override { steps << QStringLiteral("hide"); }
    void processEvents() override
    {
        ++yields;
        steps << QStringLiteral("yield");
        if (onYield)
            onYield(yields);
    }
    bool stopRequested() const override { return stop; }

    /// The recorded steps without the event turns, which the threaded mode
    /// also takes while it waits for work.
    QStringList stepsWithoutYields() const
    {
        QStringList result = steps;
        result.removeAll(QStringLiteral("yield"));
        return result;
    }
};

} // namespace grelm::test
