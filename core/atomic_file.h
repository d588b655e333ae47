#pragma once

#include "core/file_stamp.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace grelm {

/// Writes `data` to `path` whole or not at all: the bytes go to a new hidden
/// file beside it, created exclusively under a name with a random part (so a
/// link planted there is never followed), which is renamed over `path` only
/// once complete. With `syncToDisk` the data reach the disk before the rename;
/// with `modified` the file carries that modification time from before it
/// takes its name (best effort: a file system that refuses it keeps the time
/// of writing). On failure nothing is left behind, an older file of that name
/// is untouched, and FileError says why.
void writeFileAtomically(const QString &path, const QByteArray &data, bool syncToDisk = false,
                         const std::optional<FileTime> &modified = std::nullopt);

/// Flushes a file that was written earlier to the disk; throws FileError on failure.
void syncFileToDisk(const QString &path);

/// Deletes a file; throws FileError when it does not exist or cannot be deleted.
void deleteFile(const QString &path);

} // namespace grelm
