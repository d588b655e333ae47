#pragma once

#include "core/file_descriptor.h"
#include "core/file_path.h"

#include <QByteArray>

#include <optional>

#include <sys/stat.h>

namespace grelm {

/// How openForReading treats the name it is given.
enum class OpenRead {
    FollowLinks,       ///< a link is followed to its file
    NoFollow,          ///< a link fails to open (O_NOFOLLOW)
    FollowLinksNoTerminal, ///< followed, and a terminal never becomes the process's own (O_NOCTTY)
};

/// A file opened read-only, closed when this goes, and what fstat said of it
/// just after opening.
struct OpenedFile {
    FileDescriptor fd;
    struct stat status {};

    bool isRegular() const { return S_ISREG(status.st_mode); }
};

/// Opens `path` read-only without ever waiting: opening a FIFO does not wait
/// for a writer (O_NONBLOCK), whatever the file turns out to be. Nothing when
/// it cannot be opened or fstat fails. Judge the kind of file on the result,
/// never on the name, which another process may change in between.
std::optional<OpenedFile> openForReading(const FilePath &path, OpenRead how = OpenRead::FollowLinks);

/// Opens the folder `path` read-only for listing, following a link, never
/// waiting; the descriptor is negative when it cannot be opened.
FileDescriptor openFolder(const FilePath &path);
/// Opens the entry `name` of the open folder `parent` (AT_FDCWD: `name` is a
/// path) as a folder in the same way, but refusing a link.
FileDescriptor openFolderNoFollow(int parent, const FilePath &name);

/// The first and the last bytes of a file, as far as they were read.
struct FileEnds {
    QByteArray head;       ///< the first bytes, at most the size asked for
    QByteArray tail;       ///< the last bytes, at most the size asked for
    qint64 tailOffset = 0; ///< where `tail` starts in the file
};

/// Reads the first `headSize` and the last `tailSize` bytes of the regular file
/// at `path`, however large it is. Nothing when it is missing, cannot be read or
/// is not a regular file (a FIFO, a device, a folder): opening never blocks.
std::optional<FileEnds> readFileEnds(const FilePath &path, qsizetype headSize, qsizetype tailSize);

} // namespace grelm
