#pragma once

#include "app/drive_list.h"

#include <QFutureWatcher>
#include <QWidget>

class QLineEdit;
class QPushButton;

namespace grelm {

class FolderList;
class FolderPickerHost;
class MessageSink;

/// The folder picker dialog: a drive list and a folder list pick the game
/// folder, Ok hands it to the main window, which it disables while open.
/// It always starts on the process's current drive and folder; the drive
/// list also offers the game folders found, each opening its folder. They
/// are looked for on a worker thread, so the dialog opens at once and each
/// one is listed when found.
class Frm_Path : public QWidget {
    Q_OBJECT
public:
    /// Opens the dialog, or brings the one already open to the front.
    /// `drives` lists the drives, `games` looks for the game folders after
    /// them; empty means the machine's mounted drives and the games in the
    /// user's home.
    static Frm_Path *load(FolderPickerHost &host, MessageSink &messages, DriveProvider drives = {},
                          GameFolderProvider games = {});
    /// The dialog that is open, if any.
    static Frm_Path *current();

    ~Frm_Path() override;

    /// Whether the game folders are still being looked for.
    bool findingGames() const { return m_findingGames; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    Frm_Path(FolderPickerHost &host, MessageSink &messages, const DriveProvider &drives,
             const GameFolderProvider &games);
    void createControls();
    void placeNearHost();
    void startGameSearch(const GameFolderProvider &games);

    void Form_Load();
    void Form_Unload();
    void DrvPath_Change();
    void DirFolders_Change();
    void CmdConfirm_Click();
    void CmdExit_Click();
    void CloseDialog();
    FilePath folderForDrive(const Drive &drive) const;
    bool openChosenEntry();
    void showPath(const FilePath &path);

    FolderPickerHost &m_host;
    MessageSink &m_messages;
    QPushButton *CmdConfirm = nullptr;
    QPushButton *CmdExit = nullptr;
    QLineEdit *TxtPath = nullptr;
    FilePath m_path; // what TxtPath shows, with every byte of the name
    DriveList *DrvPath = nullptr;
    FolderList *DirFolders = nullptr;
    QFutureWatcher<GameFolder> *m_gameSearch = nullptr;
    bool m_findingGames = true;
    bool m_closed = false;   // CloseDialog has run
    bool m_unloading = false; // the close event is under way
    bool m_hostGone = false;  // the main window was destroyed first
};

} // namespace grelm
