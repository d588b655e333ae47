#pragma once

#include "core/held_folder.h"

#include <QString>

#include <ctime>
#include <optional>

namespace grelm {

/// A file's modification time, to the nanosecond.
using FileTime = std::timespec;

inline bool sameTime(const FileTime &a, const FileTime &b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }
inline bool earlier(const FileTime &a, const FileTime &b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

/// What identifies one version of a file: where it lies, its size, and its
/// modification and change times. Equal stamps mean the file was neither
/// replaced nor rewritten in between.
struct FileStamp {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = 0;
    FileTime modified{};
    FileTime changed{};

    bool operator==(const FileStamp &o) const
    {
        return device == o.device && inode == o.inode && size == o.size && sameTime(modified, o.modified)
               && sameTime(changed, o.changed);
    }
};

/// A folder as a command found it when it started. A folder that is gone
/// since (a USB stick pulled, a share dropped) or that another folder
/// replaced under its name ends the command once, rather than failing each
/// file left.
struct FolderAtStart {
    FilePath path;
    std::optional<FileStamp> stamp; ///< nothing when it could not be read then

    /// Throws FileError when the folder had a stamp and `path` no longer
    /// names it: stat fails, or the device or inode changed.
    void requireUnchanged() const;
};

/// The stamp of the file at `path` (links followed), or nothing when it cannot be read.
std::optional<FileStamp> fileStamp(const FilePath &path);

/// The stamp of whatever has the name `path`, a link itself rather than its
/// target; nothing when nothing has that name.
std::optional<FileStamp> fileStampNotFollowing(const FilePath &path);

/// The stamp of the open file `fd`, or nothing when it cannot be read.
std::optional<FileStamp> fileStamp(int fd);

/// Whether anything (a file, a folder, a link even to nothing) has the name `path`.
bool pathExists(const FilePath &path);

/// Whether the file at `path` still has the stamp `expected`; false when either is missing.
bool fileUnchanged(const FilePath &path, const std::optional<FileStamp> &expected);
/// The same for the file `file` names (links followed), so that the file
/// checked is the one a call through the same folder then deletes.
bool fileUnchanged(const FileAt &file, const std::optional<FileStamp> &expected);

} // namespace grelm
