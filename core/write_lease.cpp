#include "core/write_lease.h"


#include <cerrno>
#include <csignal>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

namespace grelm {

namespace {

// A lease broken by a writer's open raises SIGIO, whose default action ends
// the process; ours are given back at once, but the signal may still come.
void ignoreLeaseBreaks()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (::sigaction(SIGIO, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(SIGIO, SIG_IGN);
    });
}

} // namespace

WriterState writerState(int fd)
{
    ignoreLeaseBreaks();
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return WriterState::None;
    }
    return errno == EAGAIN ? WriterState::Writing : WriterState::Unknown;
}

WriterState writerState(const FilePath &path)
{
    // O_NONBLOCK: the open must not wait for another process's lease.
    const int fd = ::open(path.data(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return WriterState::Unknown;
    const WriterState state = writerState(fd);
    ::close(fd);
    return state;
}

bool leasesWorkIn(const FilePath &folder)
{
    return leasesWorkIn(AT_FDCWD, folder);
}

bool leasesWorkIn(int within, const FilePath &folder)
{
    const QByteArray name = ".grelm-lease-probe-" + QByteArray::number(::getpid());
    const QByteArray probe = within == AT_FDCWD ? (folder / name).bytes() : name;
    const int made = ::openat(within, probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (made < 0)
        return false;
    ::close(made);
    const int fd = ::openat(within, probe.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    const bool works = fd >= 0 && writerState(fd) == WriterState::None;
    if (fd >= 0)
        ::close(fd);
    ::unlinkat(within, probe.constData(), 0);
    return works;
}

bool WriterCheck::beingWritten(const FilePath &path)
{
    return writerState(path) == WriterState::Writing && leasesWorkIn(path.folder());
}

bool WriterCheck::beingWritten(const FileAt &file)
{
    if (file.folder == AT_FDCWD)
        return beingWritten(file.path);
    const int fd = ::openat(file.folder, file.name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    const WriterState state = writerState(fd);
    ::close(fd);
    if (state != WriterState::Writing)
        return false;
    const FilePath folder = file.path.folder();
    const auto known = m_folders.constFind(folder);
    if (known != m_folders.cend())
        return *known;
    const bool works = grelm::leasesWorkIn(file.folder, folder);
    m_folders.insert(folder, works);
    return works;
}

bool WriterCheck::leasesWorkIn(const FilePath &folder)
{
    const auto known = m_folders.constFind(folder);
    if (known != m_folders.cend())
        return *known;
    const bool works = grelm::leasesWorkIn(folder);
    m_folders.insert(folder, works);
    return works;
}

} // namespace grelm
