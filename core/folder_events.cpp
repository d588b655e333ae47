#include "core/folder_events.h"

#include <cerrno>
#include <cstring>

#include <sys/inotify.h>
#include <unistd.h>

namespace grelm {

FolderEvents::FolderEvents(const FilePath &folder)
{
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    // Only whole files matter: closed after writing or moved in. The folder
    // going away ends the watch (IN_IGNORED follows each of these).
    constexpr std::uint32_t kMask = IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT
                                    | IN_ONLYDIR | IN_EXCL_UNLINK;
    m_watch = ::inotify_add_watch(m_fd, folder.data(), kMask);
    if (m_watch < 0)
        m_error = QString::fromLocal8Bit(std::strerror(errno));
}

FolderEvents::~FolderEvents()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::vector<FolderEvent> FolderEvents::take()
{
    std::vector<FolderEvent> events;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= got;) {
            const auto *e = reinterpret_cast<const inotify_event *>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + e->len);
            if (e->mask & IN_Q_OVERFLOW)
                events.push_back({FolderEvent::Kind::Overflow, {}});
            else if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED))
                events.push_back({FolderEvent::Kind::Gone, {}});
            else if (e->len > 0 && !(e->mask & IN_ISDIR))
                events.push_back({FolderEvent::Kind::Arrived, FilePath(QByteArray(e->name))});
        }
    }
    return events;
}

} // namespace grelm
