#include "settings/file_ends.h"

#include "core/file_descriptor.h"
#include "core/file_names.h"

#include <QFile>

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

std::optional<FileEnds> readFileEnds(const QString &path, qsizetype headSize, qsizetype tailSize)
{
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    const FileDescriptor fd(::open(encodeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status;
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    FileEnds ends;
    ends.tailOffset = std::max<qint64>(0, qint64(status.st_size) - tailSize);
    const std::optional<QByteArray> head = readAt(fd.get(), 0, headSize);
    const std::optional<QByteArray> tail = readAt(fd.get(), ends.tailOffset, tailSize);
    if (!head || !tail)
        return std::nullopt;
    ends.head = *head;
    ends.tail = *tail;
    return ends;
}

} // namespace grelm
