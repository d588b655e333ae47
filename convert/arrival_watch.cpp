#include "convert/arrival_watch.h"

#include "core/file_names.h"

#include <QSet>
#include <QtEndian>

#include <iterator>

#include <fcntl.h>
#include <unistd.h>

namespace grelm {

void ArrivalWatch::observe(const QString &name, const FileStamp &stamp, std::optional<std::uint32_t> declaredSize,
                           Clock::time_point now)
{
    auto it = m_seen.find(name);
    if (it == m_seen.end() || !(it->stamp == stamp)) {
        m_seen.insert(name, {stamp, declaredSize, now, false});
        return;
    }
    it->declaredSize = declaredSize;
}

void ArrivalWatch::keepOnly(const QStringList &names)
{
    const QSet<QString> present(names.cbegin(), names.cend());
    for (auto it = m_seen.begin(); it != m_seen.end();)
        it = present.contains(it.key()) ? std::next(it) : m_seen.erase(it);
}

QStringList ArrivalWatch::complete(Clock::time_point now)
{
    QStringList ready;
    for (auto it = m_seen.begin(); it != m_seen.end(); ++it) {
        Seen &s = *it;
        if (s.reported)
            continue;
        const bool sized = s.declaredSize && *s.declaredSize != 0 && *s.declaredSize == std::uint64_t(s.stamp.size);
        if (now - s.since >= (sized ? kSettled : kSettledWithoutSize)) {
            s.reported = true;
            ready << it.key();
        }
    }
    ready.sort();
    return ready;
}

void ArrivalWatch::markReported(const QString &name, const FileStamp &stamp)
{
    m_seen.insert(name, {stamp, std::nullopt, Clock::time_point{}, true});
}

std::optional<std::uint32_t> declaredBitmapSize(const QString &path)
{
    const int fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    unsigned char head[6] = {};
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    ::close(fd);
    if (got != ssize_t(sizeof head) || head[0] != 'B' || head[1] != 'M')
        return std::nullopt;
    return qFromLittleEndian<quint32>(head + 2);
}

} // namespace grelm
