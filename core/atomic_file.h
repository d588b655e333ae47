#pragma once

#include <QByteArray>
#include <QString>

namespace grelm {

/// Writes `data` to `path` whole or not at all: the bytes go to a hidden file
/// beside it, which is renamed over `path` only once complete. With
/// `syncToDisk` the data reach the disk before the rename. On failure nothing
/// is left behind, an older file of that name is untouched, and FileError says why.
void writeFileAtomically(const QString &path, const QByteArray &data, bool syncToDisk = false);

/// Flushes a file that was written earlier to the disk; throws FileError on failure.
void syncFileToDisk(const QString &path);

/// Deletes a file; throws FileError when it does not exist or cannot be deleted.
void deleteFile(const QString &path);

/// The text of the last operating-system error, for messages.
QString lastSystemError();

} // namespace grelm
