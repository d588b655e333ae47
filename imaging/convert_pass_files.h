#pragma once

#include <QString>

#include <ctime>
#include <optional>

namespace grelm {

/// A file's modification time, to the nanosecond.
using FileTime = std::timespec;

/// What identifies one version of a file: where it lies, its size and its
/// modification time. Equal stamps mean the file was not replaced or rewritten.
struct FileStamp {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = 0;
    FileTime modified{};

    bool operator==(const FileStamp &o) const
    {
        return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec
               && modified.tv_nsec == o.modified.tv_nsec;
    }
};

/// The stamp of the file at `path`, or nothing when it cannot be read.
std::optional<FileStamp> fileStamp(const QString &path);

/// The modification time of the file at `path`, or nothing when it cannot be read.
std::optional<FileTime> modificationTime(const QString &path);

/// Gives the file at `path` the modification time `time`, so that a JPEG sorts
/// and dates like the screenshot it was made from. Best effort: a file whose
/// time cannot be set keeps the time of its writing.
void keepModificationTime(const QString &path, const std::optional<FileTime> &time);

} // namespace grelm
