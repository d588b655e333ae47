#pragma once

#include "games/game_search.h"

#include <QComboBox>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace grelm {

/// One mounted file system as the drive list shows it.
struct Drive {
    FilePath rootPath; ///< where it is mounted, for example "/" or "/media/usb"
    QString name;     ///< the volume's name; empty when it has none

    bool operator==(const Drive &) const = default;
};

/// Supplies the drives to list; tests inject their own.
using DriveProvider = std::function<QList<Drive>()>;

/// Looks for the game folders listed after the drives (on a worker thread),
/// handing each to the sink as it is found, until the second argument says
/// stop; tests inject their own.
using GameFolderProvider = std::function<void(const GameFolderSink &, const std::function<bool()> &)>;

/// The mounted, ready file systems of the machine, sorted by root path.
QList<Drive> mountedDrives();

/// Looks for the game folders of the user's home folder (see findGameFolders).
GameFolderProvider homeGameFolders();

/// The drive list's entry for a drive: its root path, then " [name]" where it has a name.
QString driveEntryText(const Drive &drive);

/// The drive list's entry for a game folder: its path, then " [game name]".
QString gameEntryText(const GameFolder &game);

/// The index of the drive holding `path`: the one whose root is the longest
/// leading part of it; nothing when no drive holds it.
std::optional<qsizetype> driveIndexOf(const QList<Drive> &drives, const FilePath &path);

/// A drop-down list of drives, then of game folders, whose value is the
/// selected entry's text.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget *parent = nullptr);

    /// Replaces the entries; selects none until told.
    void setDrives(const QList<Drive> &drives);
    const QList<Drive> &drives() const { return m_drives; }
    /// Lists one more game folder after the drives and the other game folders.
    void addGameFolder(const GameFolder &game);

    /// The selected entry's text; empty when none is selected.
    QString value() const { return currentText(); }
    /// The selected drive; nothing when none is selected.
    std::optional<Drive> currentDrive() const;
    /// The selected game folder; nothing when a drive or nothing is selected.
    std::optional<GameFolder> currentGameFolder() const;
    /// Selects the drive holding `path`. Where no listed drive holds it (in a
    /// chroot or container whose root is not mounted as such), its drive is the
    /// root folder, which is added to the list for that.
    void selectDriveOf(const FilePath &path);

private:
    qsizetype addRootDrive();

    QList<Drive> m_drives;
    QList<GameFolder> m_games;
};

} // namespace grelm
