#pragma once

#include "core/file_path.h"

#include <cstdint>
#include <optional>

namespace grelm {

/// Whether `path` is a folder or a link to one.
bool isFolder(const FilePath &path);
/// Whether `path` is a folder itself, not a link.
bool isFolderNotLink(const FilePath &path);
/// Whether `path` is a regular file itself, not a link.
bool isRegularFileNotLink(const FilePath &path);

/// The bytes the user may still write on the file system of `path`; 0 when
/// that cannot be read.
std::uint64_t freeBytes(const FilePath &path);

/// The folder `path` with every symbolic link, "." and ".." resolved;
/// nothing when it is not a folder.
std::optional<FilePath> canonicalFolder(const FilePath &path);

} // namespace grelm
