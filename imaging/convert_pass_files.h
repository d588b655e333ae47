#pragma once

#include <QString>

#include <ctime>
#include <optional>

namespace grelm {

/// A file's modification time, to the nanosecond.
using FileTime = std::timespec;

/// The modification time of the file at `path`, or nothing when it cannot be read.
std::optional<FileTime> modificationTime(const QString &path);

/// Gives the file at `path` the modification time `time`, so that a JPEG sorts
/// and dates like the screenshot it was made from. Best effort: a file whose
/// time cannot be set keeps the time of its writing.
void keepModificationTime(const QString &path, const std::optional<FileTime> &time);

} // namespace grelm
