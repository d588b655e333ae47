#include "games/steam_libraries.h"

#include "core/file_ends.h"
#include "core/path_checks.h"
#include "games/vdf_text.h"

#include <QSet>

#include <algorithm>

namespace grelm {

namespace {

bool sameKey(const QByteArray &key, const char *name)
{
    return key.compare(name, Qt::CaseInsensitive) == 0;
}

bool isNumber(const QByteArray &key)
{
    return !key.isEmpty() && std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The library path of one entry under "libraryfolders", if it names one.
QByteArray libraryPathOf(const VdfEntry &entry)
{
    if (!entry.isBlock)
        return isNumber(entry.key) ? entry.value : QByteArray();
    for (const VdfEntry &child : entry.children) {
        if (!child.isBlock && sameKey(child.key, "path"))
            return child.value;
    }
    return {};
}

// Adds `folder` to `list` unless it is nothing or `seen` already holds it.
void addOnce(QList<FilePath> &list, QSet<FilePath> &seen, const std::optional<FilePath> &folder)
{
    if (!folder || seen.contains(*folder))
        return;
    seen.insert(*folder);
    list << *folder;
}

// The library paths of a libraryfolders.vdf text as written, in order.
QByteArrayList libraryEntriesIn(const QByteArray &vdfText)
{
    QByteArrayList paths;
    for (const VdfEntry &top : readVdf(vdfText)) {
        if (!top.isBlock || !sameKey(top.key, "libraryfolders"))
            continue;
        for (const VdfEntry &entry : top.children) {
            const QByteArray path = libraryPathOf(entry);
            if (!path.isEmpty())
                paths << path;
        }
    }
    return paths;
}

} // namespace

QList<FilePath> steamRoots(const FilePath &home)
{
    QList<FilePath> roots;
    for (const char *root : {"/.local/share/Steam", "/.steam/steam", "/.steam/root", "/.steam/debian-installation",
                             "/.var/app/com.valvesoftware.Steam/.local/share/Steam",
                             "/snap/steam/common/.local/share/Steam"})
        roots << home + root;
    return roots;
}

QList<FilePath> libraryPathsIn(const QByteArray &vdfText)
{
    QList<FilePath> paths;
    for (const QByteArray &path : libraryEntriesIn(vdfText)) {
        if (path.startsWith('/'))
            paths << FilePath(path);
    }
    return paths;
}

std::optional<FilePath> driveCFolderOf(const QByteArray &windowsPath, const FilePath &driveC)
{
    if (windowsPath.size() < 3 || (windowsPath[0] != 'C' && windowsPath[0] != 'c') || windowsPath[1] != ':'
        || (windowsPath[2] != '\\' && windowsPath[2] != '/'))
        return std::nullopt;
    FilePath folder = driveC;
    for (const QByteArray &part : windowsPath.mid(3).replace('\\', '/').split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..")
            return std::nullopt;
        folder = folder / part;
    }
    return folder;
}

std::optional<FilePath> linkFreeFolder(const FilePath &path)
{
    const std::optional<FilePath> canonical = canonicalFolder(path);
    return canonical == path ? canonical : std::nullopt;
}

QList<FilePath> wineSteamLibraries(const FilePath &driveC)
{
    QList<FilePath> libraries;
    QSet<FilePath> seen;
    for (const char *root : {"/Program Files (x86)/Steam", "/Program Files/Steam"}) {
        const std::optional<FilePath> steam = linkFreeFolder(driveC + root);
        if (!steam)
            continue;
        addOnce(libraries, seen, steam);
        const FilePath vdf = *steam / "steamapps/libraryfolders.vdf";
        if (!linkFreeFolder(*steam / "steamapps"))
            continue;
        if (const std::optional<FileEnds> file = readFileEnds(vdf, kLibraryFoldersMaxSize, 0)) {
            for (const QByteArray &entry : libraryEntriesIn(file->head)) {
                if (const std::optional<FilePath> library = driveCFolderOf(entry, driveC))
                    addOnce(libraries, seen, linkFreeFolder(*library));
            }
        }
    }
    return libraries;
}

QList<FilePath> steamLibraries(const FilePath &home)
{
    QList<FilePath> libraries;
    QSet<FilePath> seen; // a damaged or hostile file may name the same folder thousands of times
    for (const FilePath &root : steamRoots(home)) {
        const std::optional<FilePath> canonicalRoot = canonicalFolder(root);
        if (!canonicalRoot)
            continue;
        addOnce(libraries, seen, canonicalRoot);
        const FilePath vdf = *canonicalRoot / "steamapps/libraryfolders.vdf";
        if (const std::optional<FileEnds> file = readFileEnds(vdf, kLibraryFoldersMaxSize, 0)) {
            for (const FilePath &library : libraryPathsIn(file->head))
                addOnce(libraries, seen, canonicalFolder(library));
        }
    }
    return libraries;
}

} // namespace grelm
