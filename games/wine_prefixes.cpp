#include "games/wine_prefixes.h"

#include "core/file_descriptor.h"
#include "core/file_names.h"
#include "games/game_names.h"
#include "games/steam_games.h"
#include "games/steam_libraries.h"

#include <QSet>

#include <algorithm>
#include <optional>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace grelm {

namespace {

// Below drive_c, game folders are looked for this many levels deep.
constexpr int kDriveCLevels = 3;

bool sameName(const QByteArray &name, const char *windowsName)
{
    return name.compare(windowsName, Qt::CaseInsensitive) == 0;
}

bool isFolderNotLink(const QString &path)
{
    struct stat status;
    return ::lstat(encodeFileName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Opens the sub-folder `name` of the open folder `parent`, refusing a link.
int openSubFolder(int parent, const QByteArray &name)
{
    return ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

// The names of the sub-folders of the open folder `fd`, links left out, sorted.
std::vector<QByteArray> subFolderNames(int fd, GameSearch &search)
{
    std::vector<QByteArray> names;
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    DIR *dir = copy < 0 ? nullptr : ::fdopendir(copy);
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        return names;
    }
    int seen = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (++seen % 256 == 0 && !search.goesOn())
            break;
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        bool folder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat status;
            folder = ::fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
        }
        if (folder)
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool holdsLibList(int fd)
{
    struct stat status;
    return ::fstatat(fd, "liblist.gam", &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode);
}

// Where a folder lies below drive_c, for the folders treated apart.
enum class Place { Other, Sierra, SierraHalfLife };

// Walks the folder `fd` at `path`, `level` levels below drive_c, offering
// the game folders among its sub-folders and walking those above the last level.
void walkDriveC(int fd, const QString &path, int level, Place place, GameSearch &search)
{
    for (const QByteArray &name : subFolderNames(fd, search)) {
        if (level == 0 && (sameName(name, "windows") || sameName(name, "users")))
            continue;
        if (!search.visitFolder())
            return;
        const FileDescriptor child(openSubFolder(fd, name));
        if (child.get() < 0)
            continue;
        const QString childPath = path + u'/' + decodeFileName(name);
        if (holdsLibList(child.get()) || (place == Place::SierraHalfLife && isKnownGameFolderName(decodeFileName(name))))
            search.offer(childPath);
        if (level + 1 >= kDriveCLevels)
            continue;
        Place childPlace = Place::Other;
        if (level == 0 && sameName(name, "SIERRA"))
            childPlace = Place::Sierra;
        else if (place == Place::Sierra && sameName(name, "Half-Life"))
            childPlace = Place::SierraHalfLife;
        walkDriveC(child.get(), childPath, level + 1, childPlace, search);
    }
}

// The folders below `parent` that `child` names (a relative path, "" for each
// sub-folder itself), each as it is written; none where `parent` cannot be listed.
QStringList foldersBelow(const QString &parent, const char *child, GameSearch &search)
{
    QStringList folders;
    if (!search.visitFolder())
        return folders;
    const FileDescriptor fd(::open(encodeFileName(parent).constData(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return folders;
    for (const QByteArray &name : subFolderNames(fd.get(), search))
        folders << parent + u'/' + decodeFileName(name) + QLatin1String(child);
    return folders;
}

} // namespace

QStringList winePrefixes(const QString &home, const QString &winePrefix, const QStringList &steamLibraries,
                         GameSearch &search)
{
    QStringList candidates;
    if (winePrefix.startsWith(u'/'))
        candidates << winePrefix;
    candidates << home + QStringLiteral("/.wine");
    candidates << foldersBelow(home + QStringLiteral("/Games"), "", search);
    candidates << foldersBelow(home + QStringLiteral("/.local/share/bottles/bottles"), "", search);
    candidates << foldersBelow(home + QStringLiteral("/.var/app/com.usebottles.bottles/data/bottles/bottles"), "",
                               search);
    candidates << foldersBelow(home + QStringLiteral("/.PlayOnLinux/wineprefix"), "", search);
    for (const QString &library : steamLibraries)
        candidates << foldersBelow(library + QStringLiteral("/steamapps/compatdata"), "/pfx", search);

    QStringList prefixes;
    QSet<QString> seen;
    for (const QString &candidate : candidates) {
        const std::optional<QString> prefix = canonicalFolder(candidate);
        if (!prefix || seen.contains(*prefix) || !isFolderNotLink(*prefix + QStringLiteral("/drive_c")))
            continue;
        seen.insert(*prefix);
        prefixes << *prefix;
    }
    return prefixes;
}

void findPrefixGames(const QString &prefix, GameSearch &search)
{
    const QString driveC = prefix + QStringLiteral("/drive_c");
    search.startPrefix();
    for (const QString &library : wineSteamLibraries(driveC))
        findSteamGames(library, search, Links::Skip);
    const QByteArray driveCBytes = encodeFileName(driveC);
    const FileDescriptor fd(
        ::open(driveCBytes.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() >= 0)
        walkDriveC(fd.get(), driveC, 0, Place::Other, search);
    search.endPrefix();
}

} // namespace grelm
