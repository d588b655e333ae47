#include "core/file_ends.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace grelm {

namespace {

// Up to `size` bytes from `offset`; fewer where the file ends first, nothing on a read error.
std::optional<QByteArray> readAt(int fd, qint64 offset, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    qsizetype done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes.data() + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        done += n;
    }
    bytes.truncate(done);
    return bytes;
}

} // namespace

std::optional<OpenedFile> openForReading(const FilePath &path, OpenRead how)
{
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
    if (how == OpenRead::NoFollow)
        flags |= O_NOFOLLOW;
    else if (how == OpenRead::FollowLinksNoTerminal)
        flags |= O_NOCTTY;
    OpenedFile file{FileDescriptor(::open(path.data(), flags))};
    if (file.fd.get() < 0 || ::fstat(file.fd.get(), &file.status) != 0)
        return std::nullopt;
    return file;
}

FileDescriptor openFolder(const FilePath &path)
{
    return FileDescriptor(::open(path.data(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC));
}

FileDescriptor openFolderNoFollow(int parent, const FilePath &name)
{
    return FileDescriptor(::openat(parent, name.data(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
}

std::optional<FileEnds> readFileEnds(const FilePath &path, qsizetype headSize, qsizetype tailSize)
{
    const std::optional<OpenedFile> file = openForReading(path);
    if (!file || !file->isRegular())
        return std::nullopt;
    FileEnds ends;
    ends.tailOffset = std::max<qint64>(0, qint64(file->status.st_size) - tailSize);
    const std::optional<QByteArray> head = readAt(file->fd.get(), 0, headSize);
    const std::optional<QByteArray> tail = readAt(file->fd.get(), ends.tailOffset, tailSize);
    if (!head || !tail)
        return std::nullopt;
    ends.head = *head;
    ends.tail = *tail;
    return ends;
}

} // namespace grelm
