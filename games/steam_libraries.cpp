#include "games/steam_libraries.h"

#include "core/file_names.h"
#include "settings/file_ends.h"
#include "games/vdf_text.h"

#include <QSet>

#include <algorithm>
#include <filesystem>
#include <system_error>

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
void addOnce(QStringList &list, QSet<QString> &seen, const std::optional<QString> &folder)
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

QStringList steamRoots(const QString &home)
{
    QStringList roots;
    for (const char *root : {"/.local/share/Steam", "/.steam/steam", "/.steam/root", "/.steam/debian-installation",
                             "/.var/app/com.valvesoftware.Steam/.local/share/Steam",
                             "/snap/steam/common/.local/share/Steam"})
        roots << home + QLatin1String(root);
    return roots;
}

QStringList libraryPathsIn(const QByteArray &vdfText)
{
    QStringList paths;
    for (const QByteArray &path : libraryEntriesIn(vdfText)) {
        if (path.startsWith('/'))
            paths << decodeFileName(path);
    }
    return paths;
}

std::optional<QString> driveCFolderOf(const QByteArray &windowsPath, const QString &driveC)
{
    if (windowsPath.size() < 3 || (windowsPath[0] != 'C' && windowsPath[0] != 'c') || windowsPath[1] != ':'
        || (windowsPath[2] != '\\' && windowsPath[2] != '/'))
        return std::nullopt;
    QString folder = driveC;
    for (const QByteArray &part : windowsPath.mid(3).replace('\\', '/').split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..")
            return std::nullopt;
        folder += u'/' + decodeFileName(part);
    }
    return folder;
}

std::optional<QString> canonicalFolder(const QString &path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path canonical = fs::canonical(fs::path(encodeFileName(path).toStdString()), error);
    if (error || !fs::is_directory(canonical, error))
        return std::nullopt;
    return decodeFileName(QByteArray::fromStdString(canonical.native()));
}

std::optional<QString> linkFreeFolder(const QString &path)
{
    const std::optional<QString> canonical = canonicalFolder(path);
    return canonical == path ? canonical : std::nullopt;
}

QStringList wineSteamLibraries(const QString &driveC)
{
    QStringList libraries;
    QSet<QString> seen;
    for (const char *root : {"/Program Files (x86)/Steam", "/Program Files/Steam"}) {
        const std::optional<QString> steam = linkFreeFolder(driveC + QLatin1String(root));
        if (!steam)
            continue;
        addOnce(libraries, seen, steam);
        const QString vdf = *steam + QStringLiteral("/steamapps/libraryfolders.vdf");
        if (!linkFreeFolder(*steam + QStringLiteral("/steamapps")))
            continue;
        if (const std::optional<FileEnds> file = readFileEnds(vdf, kLibraryFoldersMaxSize, 0)) {
            for (const QByteArray &entry : libraryEntriesIn(file->head)) {
                if (const std::optional<QString> library = driveCFolderOf(entry, driveC))
                    addOnce(libraries, seen, linkFreeFolder(*library));
            }
        }
    }
    return libraries;
}

QStringList steamLibraries(const QString &home)
{
    QStringList libraries;
    QSet<QString> seen; // a damaged or hostile file may name the same folder thousands of times
    for (const QString &root : steamRoots(home)) {
        const std::optional<QString> canonicalRoot = canonicalFolder(root);
        if (!canonicalRoot)
            continue;
        addOnce(libraries, seen, canonicalRoot);
        const QString vdf = *canonicalRoot + QStringLiteral("/steamapps/libraryfolders.vdf");
        if (const std::optional<FileEnds> file = readFileEnds(vdf, kLibraryFoldersMaxSize, 0)) {
            for (const QString &library : libraryPathsIn(file->head))
                addOnce(libraries, seen, canonicalFolder(library));
        }
    }
    return libraries;
}

} // namespace grelm
