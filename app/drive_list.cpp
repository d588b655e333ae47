#include "app/drive_list.h"

#include "core/system_folders.h"
#include "games/game_discovery.h"
#include "games/steam_libraries.h"

#include <QStorageInfo>

#include <algorithm>

namespace grelm {

QList<Drive> mountedDrives()
{
    QList<Drive> drives;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        // Qt reads the mount table and gives each mount point as text.
        const Drive drive{FilePath::fromEscapedText(volume.rootPath()), volume.name()};
        if (!drives.contains(drive))
            drives << drive;
    }
    std::sort(drives.begin(), drives.end(),
              [](const Drive &a, const Drive &b) { return a.rootPath.escapedText() < b.rootPath.escapedText(); });
    return drives;
}

GameFolderProvider homeGameFolders()
{
    return [home = homeFolder()](const GameFolderSink &found, const std::function<bool()> &stopAsked) {
        SearchLimits limits;
        limits.stopAsked = stopAsked;
        findGameFolders(home, found, limits);
    };
}

QString driveEntryText(const Drive &drive)
{
    if (drive.name.isEmpty())
        return drive.rootPath.escapedText();
    return drive.rootPath.escapedText() + QStringLiteral(" [") + drive.name + QLatin1Char(']');
}

QString gameEntryText(const GameFolder &game)
{
    return game.path.shownText() + QStringLiteral(" [") + game.name.shownText() + QLatin1Char(']');
}

namespace {

// Whether `root` is `path` itself or one of the folders above it.
bool holds(const FilePath &root, const FilePath &path)
{
    const QByteArray cleanRoot = root.cleaned().bytes();
    const QByteArray cleanPath = path.cleaned().bytes();
    if (cleanPath == cleanRoot)
        return true;
    const QByteArray prefix = cleanRoot.endsWith('/') ? cleanRoot : cleanRoot + '/';
    return cleanPath.startsWith(prefix);
}

} // namespace

std::optional<qsizetype> driveIndexOf(const QList<Drive> &drives, const FilePath &path)
{
    std::optional<qsizetype> best;
    for (qsizetype i = 0; i < drives.size(); ++i) {
        if (!holds(drives[i].rootPath, path))
            continue;
        if (!best || drives[i].rootPath.bytes().size() > drives[*best].rootPath.bytes().size())
            best = i;
    }
    return best;
}

DriveList::DriveList(QWidget *parent) : QComboBox(parent) {}

void DriveList::setDrives(const QList<Drive> &drives)
{
    const QSignalBlocker blocker(this);
    clear();
    m_drives = drives;
    m_games.clear();
    for (const Drive &drive : drives)
        addItem(driveEntryText(drive));
    setCurrentIndex(-1);
}

void DriveList::addGameFolder(const GameFolder &game)
{
    const QSignalBlocker blocker(this);
    m_games << game;
    addItem(gameEntryText(game));
}

std::optional<Drive> DriveList::currentDrive() const
{
    const int index = currentIndex();
    if (index < 0 || index >= m_drives.size())
        return std::nullopt;
    return m_drives[index];
}

std::optional<GameFolder> DriveList::currentGameFolder() const
{
    const qsizetype index = currentIndex() - m_drives.size();
    if (index < 0 || index >= m_games.size())
        return std::nullopt;
    return m_games[index];
}

void DriveList::selectDriveOf(const FilePath &path)
{
    const std::optional<qsizetype> index = driveIndexOf(m_drives, path);
    setCurrentIndex(int(index ? *index : addRootDrive()));
}

qsizetype DriveList::addRootDrive()
{
    const Drive root{FilePath("/"), QString()};
    const QSignalBlocker blocker(this);
    // The root sorts before every other mount point.
    m_drives.prepend(root);
    insertItem(0, driveEntryText(root));
    return 0;
}

} // namespace grelm
