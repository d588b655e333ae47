#pragma once

#include "core/file_path.h"

class QWidget;

namespace grelm {

/// What the folder picker needs from the main window: its folder box, the
/// recount, the setting file, and the window itself to disable and give back
/// the focus to.
class FolderPickerHost {
public:
    virtual ~FolderPickerHost() = default;

    virtual QWidget *hostWindow() = 0;
    /// Replaces the game folder in the folder box TxtSetFolder (the box shows
    /// it for the screen; the folder keeps every byte of its name).
    virtual void setGameFolderText(const FilePath &folder) = 0;
    /// Counts the screenshots in the folder box's folder.
    virtual void SFindDir() = 0;
    /// Stores the folder box's text in the setting file.
    virtual void SWritePath() = 0;
};

} // namespace grelm
