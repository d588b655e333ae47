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

/// The folder `path` with every symbolic link resolved; nothing when it is not a folder.
std::optional<QString> canonicalFolder(const QString &path);

/// Every Steam library under `home`, each once as a canonical path: each
/// existing root, then the libraries its steamapps/libraryfolders.vdf names.
QStringList steamLibraries(const QString &home);

} // namespace grelm
