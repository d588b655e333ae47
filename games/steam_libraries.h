#pragma once

#include "core/file_path.h"

#include <QByteArray>
#include <QList>

#include <optional>

namespace grelm {

/// libraryfolders.vdf is read up to this size; Steam's own is a few kilobytes.
inline constexpr qsizetype kLibraryFoldersMaxSize = 1 << 20;

/// The folders where Steam keeps its own install under `home`: the native
/// ones, the Flatpak's and the Snap's, whether or not they exist.
QList<FilePath> steamRoots(const FilePath &home);

/// The library folders a libraryfolders.vdf text names: the "path" of each
/// block under "libraryfolders", or the value of a numbered key (the older
/// layout); absolute paths only, in the order written.
QList<FilePath> libraryPathsIn(const QByteArray &vdfText);

/// The folder inside a Wine prefix whose drive_c is `driveC` that the Windows
/// path `windowsPath` (as Steam writes it, "C:\\Program Files (x86)\\Steam")
/// names on drive C:. Nothing for another drive (they are links the search
/// does not follow), a path that is not absolute, or one that climbs with "..".
std::optional<FilePath> driveCFolderOf(const QByteArray &windowsPath, const FilePath &driveC);

/// The folder `path` (absolute, clean) when it is one and no symbolic link
/// lies along it; nothing otherwise.
std::optional<FilePath> linkFreeFolder(const FilePath &path);

/// Every Steam library under `home`, each once as a canonical path: each
/// existing root, then the libraries its steamapps/libraryfolders.vdf names.
QList<FilePath> steamLibraries(const FilePath &home);

/// Every Steam library of the Windows Steam installed in the Wine prefix whose
/// drive_c is `driveC` (canonical): its root under Program Files (x86) or
/// Program Files, then the libraries on drive C: its libraryfolders.vdf names.
/// Folders reached through a link are left out: nothing inside a prefix is
/// followed out of it.
QList<FilePath> wineSteamLibraries(const FilePath &driveC);

} // namespace grelm
