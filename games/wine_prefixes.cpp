#include "games/wine_prefixes.h"

#include "core/file_descriptor.h"
#include "core/file_ends.h"
#include "core/path_checks.h"
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
void walkDriveC(int fd, const FilePath &path, int level, Place place, GameSearch &search)
{
    for (const QByteArray &name : subFolderNames(fd, search)) {
        if (level == 0 && (sameName(name, "windows") || sameName(name, "users")))
            continue;
        if (!search.visitFolder())
            return;
        const FileDescriptor child = openFolderNoFollow(fd, FilePath(name));
        if (child.get() < 0)
            continue;
        const FilePath childPath = path / name;
        if (holdsLibList(child.get()) || (place == Place::SierraHalfLife && isKnownGameFolderName(FilePath(name))))
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
QList<FilePath> foldersBelow(const FilePath &parent, const char *child, GameSearch &search)
{
    QList<FilePath> folders;
    if (!search.visitFolder())
        return folders;
    const FileDescriptor fd = openFolder(parent);
    if (fd.get() < 0)
        return folders;
    for (const QByteArray &name : subFolderNames(fd.get(), search))
        folders << (parent / name) + child;
    return folders;
}

} // namespace

QList<FilePath> winePrefixes(const FilePath &home, const FilePath &winePrefix, const QList<FilePath> &steamLibraries,
                             GameSearch &search)
{
    QList<FilePath> candidates;
    if (winePrefix.isAbsolute())
        candidates << winePrefix;
    candidates << home / ".wine";
    candidates << foldersBelow(home / "Games", "", search);
    candidates << foldersBelow(home / ".local/share/bottles/bottles", "", search);
    candidates << foldersBelow(home / ".var/app/com.usebottles.bottles/data/bottles/bottles", "", search);
    candidates << foldersBelow(home / ".PlayOnLinux/wineprefix", "", search);
    for (const FilePath &library : steamLibraries)
        candidates << foldersBelow(library / "steamapps/compatdata", "/pfx", search);

    QList<FilePath> prefixes;
    QSet<FilePath> seen;
    for (const FilePath &candidate : candidates) {
        const std::optional<FilePath> prefix = canonicalFolder(candidate);
        if (!prefix || seen.contains(*prefix) || !isFolderNotLink(*prefix / "drive_c"))
            continue;
        seen.insert(*prefix);
        prefixes << *prefix;
    }
    return prefixes;
}

void findPrefixGames(const FilePath &prefix, GameSearch &search)
{
    const FilePath driveC = prefix / "drive_c";
    search.startPrefix();
    for (const FilePath &library : wineSteamLibraries(driveC))
        findSteamGames(library, search, Links::Skip);
    const FileDescriptor fd = openFolderNoFollow(AT_FDCWD, driveC);
    if (fd.get() >= 0)
        walkDriveC(fd.get(), driveC, 0, Place::Other, search);
    search.endPrefix();
}

} // namespace grelm
