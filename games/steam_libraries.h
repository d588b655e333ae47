#pragma once

#include "core/file_names.h" // homeFolder()

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace grelm {

/// libraryfolders.vdf is read up to this size; Steam's own is a few kilobytes.
inline constexpr qsizetype kLibraryFoldersMaxSize = 1 << 20;

/// The folders where Steam keeps its own install under `home`: the native
/// ones, the Flatpak's and the Snap's, whether or not they exist.
QStringList steamRoots(const QString &home);

/// The library folders a libraryfolders.vdf text names: the "path" of each
/// block under "libraryfolders", or the value of a numbered key (the older
/// layout); absolute paths only, in the order written.
QStringList libraryPathsIn(const QByteArray &vdfText);

/// The folder inside a Wine prefix whose drive_c is `driveC` that the Windows
/// path `windowsPath` (as Steam writes it, "C:\\Program Files (x86)\\Steam")
/// names on drive C:. Nothing for another drive (they are links the search
/// does not follow), a path that is not absolute, or one that climbs with "..".
std::optional<QString> driveCFolderOf(const QByteArray &windowsPath, const QString &driveC);

/// The folder `path` with every symbolic link resolved; nothing when it is not a folder.
std::optional<QString> canonicalFolder(const QString &path);

/// The folder `path` (absolute, clean) when it is one and no symbolic link
/// lies along it; nothing otherwise.
std::optional<QString> linkFreeFolder(const QString &path);

/// Every Steam library under `home`, each once as a canonical path: each
/// existing root, then the libraries its steamapps/libraryfolders.vdf names.
QStringList steamLibraries(const QString &home);

/// Every Steam library of the Windows Steam installed in the Wine prefix whose
/// drive_c is `driveC` (canonical): its root under Program Files (x86) or
/// Program Files, then the libraries on drive C: its libraryfolders.vdf names.
/// Folders reached through a link are left out: nothing inside a prefix is
/// followed out of it.
QStringList wineSteamLibraries(const QString &driveC);

} // namespace grelm
