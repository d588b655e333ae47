#include "convert/arrival_watch.h"

#include "core/file_ends.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"
#include "imaging/bmp_header.h"

#include <QSet>
#include <QtEndian>

#include <vector>

#include <unistd.h>

namespace grelm {

namespace {

// How long ago the file last changed, by the clock of its change time.
std::chrono::nanoseconds changedAgo(const FileStamp &stamp)
{
    const auto changed = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::seconds(stamp.changed.tv_sec)
                                                                         + std::chrono::nanoseconds(stamp.changed.tv_nsec)));
    return std::chrono::system_clock::now() - changed;
}

} // namespace

ArrivalWatch::ArrivalWatch(FilePath folder, Looker looker) : m_folder(std::move(folder)), m_look(std::move(looker)) {}

bool ArrivalWatch::isScreenshotName(const FilePath &name)
{
    return !name.bytes().startsWith('.') && matchesWildcard(name, kScreenshotPattern);
}

QList<FilePath> ArrivalWatch::start(Clock::time_point now)
{
    m_leasesWork = leasesWorkIn(m_folder);
    m_seen.clear();
    m_fullLookDue = false;
    QList<FilePath> present;
    for (const FilePath &name : FolderListing::all(m_folder, kScreenshotPattern)) {
        Seen &seen = m_seen[name];
        seen.since = now;
        const std::optional<ArrivalLook> found = m_look(m_folder / name);
        if (!found) {
            m_seen.remove(name);
            continue;
        }
        seen.stamp = found->stamp;
        const WriterState writer = writerOf(*found);
        if (writer == WriterState::Writing)
            continue;
        seen.withoutLeases = writer == WriterState::Unknown;
        seen.reported = true;
        // Without leases, only a file changed in the last minute is kept in
        // sight; an older one counts as unchanged for that long already.
        if (seen.withoutLeases && changedAgo(found->stamp) >= kUnchangedBeforeDeletion)
            seen.since = now - kUnchangedBeforeDeletion;
        seen.settled = !seen.withoutLeases || seen.since != now;
        present << name;
    }
    return present;
}

bool ArrivalWatch::arrived(const FilePath &name, Clock::time_point now)
{
    if (!isScreenshotName(name))
        return false;
    auto it = m_seen.find(name);
    if (it == m_seen.end())
        it = m_seen.insert(name, Seen{std::nullopt, now});
    it->settled = false;
    return true;
}

void ArrivalWatch::listAgain(Clock::time_point now)
{
    const QList<FilePath> names = FolderListing::all(m_folder, kScreenshotPattern);
    const QSet<FilePath> present(names.cbegin(), names.cend());
    for (auto it = m_seen.begin(); it != m_seen.end();)
        it = present.contains(it.key()) ? std::next(it) : m_seen.erase(it);
    for (const FilePath &name : names) {
        if (!m_seen.contains(name))
            m_seen.insert(name, Seen{std::nullopt, now});
    }
}

QList<FilePath> ArrivalWatch::look(Clock::time_point now)
{
    if (m_fullLookDue) {
        m_fullLookDue = false;
        m_leasesWork = leasesWorkIn(m_folder); // the folder may be another file system now
        listAgain(now);
        for (Seen &seen : m_seen)
            seen.settled = false;
    }
    QList<FilePath> ready;
    std::vector<FilePath> gone;
    for (auto it = m_seen.begin(); it != m_seen.end(); ++it) {
        if (it->settled)
            continue;
        if (!lookAt(it.key(), *it, now, ready))
            gone.push_back(it.key());
    }
    for (const FilePath &name : gone)
        m_seen.remove(name);
    sortByText(ready, Qt::CaseSensitive);
    return ready;
}

WriterState ArrivalWatch::writerOf(const ArrivalLook &look) const
{
    // Where every lease is refused, a refusal says nothing of writers.
    return look.writer == WriterState::Writing && !m_leasesWork ? WriterState::Unknown : look.writer;
}

bool ArrivalWatch::complete(const Seen &seen, const ArrivalLook &look, Clock::time_point now) const
{
    const WriterState writer = writerOf(look);
    if (writer == WriterState::Writing)
        return false;
    const auto still = now - seen.since;
    const bool sized = look.declaredSize && *look.declaredSize != 0 && *look.declaredSize == std::uint64_t(look.stamp.size);
    if (sized)
        return writer == WriterState::None || still >= kSettled;
    return still >= kSettledWithoutSize && look.pixelsPresent;
}

bool ArrivalWatch::lookAt(const FilePath &name, Seen &seen, Clock::time_point now, QList<FilePath> &ready)
{
    const std::optional<ArrivalLook> found = m_look(m_folder / name);
    if (!found)
        return false;
    if (!seen.stamp || !(*seen.stamp == found->stamp)) {
        seen.stamp = found->stamp;
        seen.since = now;
        seen.reported = false;
    }
    seen.withoutLeases = writerOf(*found) == WriterState::Unknown;
    if (!seen.reported && complete(seen, *found, now)) {
        seen.reported = true;
        ready << name;
    }
    const auto still = now - seen.since;
    if (seen.reported) {
        // Without leases, a file is kept in sight until it may be deleted:
        // a writer that pauses longer than the settling time changes it again.
        seen.settled = !seen.withoutLeases || still >= kUnchangedBeforeDeletion;
    } else if (writerOf(*found) != WriterState::Writing && still >= kSettledWithoutSize && !found->pixelsPresent) {
        seen.settled = true; // will not load as it is: it waits for its next change
    }
    return true;
}

bool ArrivalWatch::waiting() const
{
    if (m_fullLookDue)
        return true;
    for (const Seen &seen : m_seen) {
        if (!seen.settled)
            return true;
    }
    return false;
}

bool ArrivalWatch::unchangedLongEnough(const FilePath &name, const FileStamp &converted, Clock::time_point now) const
{
    const auto it = m_seen.constFind(name);
    return it != m_seen.cend() && it->stamp && *it->stamp == converted && now - it->since >= kUnchangedBeforeDeletion;
}

bool ArrivalWatch::stillInSight(const FilePath &name, const FileStamp &converted) const
{
    const auto it = m_seen.constFind(name);
    return it != m_seen.cend() && it->stamp && *it->stamp == converted;
}

void ArrivalWatch::lookAgain(const FilePath &name)
{
    const auto it = m_seen.find(name);
    if (it != m_seen.end()) {
        it->reported = false;
        it->settled = false;
    }
}

std::optional<ArrivalLook> ArrivalWatch::lookAtArrival(const FilePath &path)
{
    const std::optional<OpenedFile> opened = openForReading(path, OpenRead::FollowLinksNoTerminal);
    if (!opened)
        return std::nullopt;
    const int fd = opened->fd.get();
    ArrivalLook look;
    const std::optional<FileStamp> stamp = fileStamp(fd);
    if (!stamp)
        return std::nullopt;
    look.stamp = *stamp;
    std::vector<std::uint8_t> head(kBmpHeaderReadBytes);
    const ssize_t got = ::pread(fd, head.data(), head.size(), 0);
    if (got >= 6 && head[0] == 'B' && head[1] == 'M')
        look.declaredSize = qFromLittleEndian<quint32>(head.data() + 2);
    // The pixel array must all be there; a compressed one ends where its
    // codes say, which only the load finds out.
    BmpHeader header;
    const std::uint64_t size = std::uint64_t(look.stamp.size);
    if (got > 0 && !parseBmpHeader(std::span(head.data(), std::size_t(got)), size, header)) {
        const bool compressed = header.encoding == BmpEncoding::Rle8 || header.encoding == BmpEncoding::Rle4;
        look.pixelsPresent = compressed || header.pixelOffset + header.fileRowBytes() * std::uint64_t(header.height) <= size;
    }
    look.writer = writerState(fd);
    return look;
}

} // namespace grelm
