#include "cli/console_watch.h"

#include "cli/command_line.h"
#include "cli/console_convert.h"
#include "convert/arrival_watch.h"
#include "convert/deletion_group.h"
#include "convert/thumbnail_journal.h"
#include "core/folder_events.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"
#include "core/path_checks.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <memory>

#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace grelm {

namespace {

using namespace std::chrono_literals;
using Clock = ArrivalWatch::Clock;

constexpr auto kArrivalLook = 250ms; // while a file is being written or settling
constexpr auto kSlowLook = 60s;      // for file systems that deliver no events
constexpr auto kGoneLook = 2s;       // for a folder that went away
// A JPEG that could not be written is tried again after these waits, the
// last one over and over, at the next event, and as soon as the file system
// has more free space than when it failed (checked this often).
constexpr std::chrono::seconds kRetryWaits[] = {5s, 30s, 300s};
constexpr auto kFreeSpaceLook = 2s;

// Watching must not slow the game: the lowest CPU priority a user may take
// and the idle I/O class, which reads only when no one else does.
void yieldToTheGame()
{
    ::setpriority(PRIO_PROCESS, 0, 19);
    constexpr int kIdleClass = 3, kClassShift = 13, kWhoProcess = 1;
    ::syscall(SYS_ioprio_set, kWhoProcess, 0, kIdleClass << kClassShift);
}

std::chrono::milliseconds untilThen(Clock::time_point then, Clock::time_point now)
{
    return std::max(0ms, std::chrono::ceil<std::chrono::milliseconds>(then - now));
}

class Watcher {
public:
    Watcher(const CommandLine &line, const FilePath &folder)
        : m_folder(folder), m_view(line, folder), m_watch(folder), m_thumbs(line.thumbs)
    {
    }

    // The first Convert, over what is there and not being written; 2 when
    // the folder cannot be converted.
    bool start()
    {
        const Clock::time_point now = Clock::now();
        const QList<FilePath> present = m_watch.start(now);
        convert(present, false);
        m_lastSlowLook = now;
        // Only a folder that is not there ends the watch at its start; a
        // Convert that ended otherwise (a screenshot that does not load) has
        // said so, and the screenshots still to come are converted.
        return !m_messages.commandEnded || isFolder(m_folder);
    }

    int run()
    {
        openEvents();
        std::printf("watching %s (Ctrl-C stops)\n", qPrintable(m_folder.shownText()));
        std::fflush(stdout);
        while (!g_consoleStopRequested) {
            waitForNews();
            if (g_consoleStopRequested)
                break;
            const Clock::time_point now = Clock::now();
            if (m_gone ? !comeBack() : !takeEvents(now))
                continue;
            if (now - m_lastSlowLook >= kSlowLook) {
                m_lastSlowLook = now;
                if (!isFolder(m_folder)) {
                    goneAway();
                    continue;
                }
                if (!sameFolderAsWatched()) { // a card mounted again on the folder's path
                    openEvents();
                    m_watch.overflowed();
                }
                m_watch.listAgain(now);
            }
            convert(m_watch.look(now), false);
            retryDue(now);
            deleteSettled(now);
        }
        return 130;
    }

private:
    // Whether the folder's path still leads to the folder the events come from.
    bool sameFolderAsWatched() const
    {
        const std::optional<FileStamp> now = fileStamp(m_folder);
        return now && m_watched && now->device == m_watched->device && now->inode == m_watched->inode;
    }

    void openEvents()
    {
        m_watched = fileStamp(m_folder);
        m_events = std::make_unique<FolderEvents>(m_folder);
        if (!m_events->valid()) {
            if (!m_saidNoEvents)
                std::fprintf(stderr, "grelm-converter: cannot watch %s for events (%s); looking every %lld s instead\n",
                             qPrintable(m_folder.shownText()), qPrintable(m_events->error()),
                             static_cast<long long>(kSlowLook.count()));
            m_saidNoEvents = true;
            m_events.reset();
        }
    }

    void waitForNews()
    {
        const Clock::time_point now = Clock::now();
        std::chrono::milliseconds timeout = untilThen(m_lastSlowLook + kSlowLook, now);
        if (m_gone)
            timeout = kGoneLook;
        else if (m_watch.waiting())
            timeout = std::min<std::chrono::milliseconds>(timeout, kArrivalLook);
        for (const auto &retry : m_retries)
            timeout = std::min(timeout, untilThen(retry.due, now));
        if (m_thumbnailRetry)
            timeout = std::min(timeout, untilThen(m_thumbnailRetry->due, now));
        if (!m_retries.empty() || m_thumbnailRetry)
            timeout = std::min<std::chrono::milliseconds>(timeout, kFreeSpaceLook);
        pollfd fd{m_events ? m_events->descriptor() : -1, POLLIN, 0};
        ::poll(&fd, 1, int(timeout.count())); // a stop signal ends the wait early
    }

    // Reads the events; false when the folder went away.
    bool takeEvents(Clock::time_point now)
    {
        if (!m_events)
            return true;
        bool news = false;
        for (const FolderEvent &event : m_events->take()) {
            switch (event.kind) {
            case FolderEvent::Kind::Arrived:
                // The program's own files (JPEGs, staged files) are no news.
                news = m_watch.arrived(event.name, now) || news;
                break;
            case FolderEvent::Kind::Overflow:
                m_watch.overflowed();
                news = true;
                break;
            case FolderEvent::Kind::Gone:
                goneAway();
                return false;
            }
        }
        if (news) // a failed file is tried again at the next event too
            for (auto &retry : m_retries)
                retry.due = std::min(retry.due, now);
        return true;
    }

    void goneAway()
    {
        m_gone = true;
        m_events.reset();
        std::fprintf(stderr, "grelm-converter: %s is gone; waiting for it to come back\n", qPrintable(m_folder.shownText()));
    }

    // True once the folder is back: events again, and one full look.
    bool comeBack()
    {
        if (!isFolder(m_folder))
            return false;
        m_gone = false;
        openEvents();
        m_watch.overflowed();
        std::printf("watching %s again\n", qPrintable(m_folder.shownText()));
        std::fflush(stdout);
        return true;
    }

    struct Retry {
        FilePath name;
        FileStamp version;
        int tries = 0;
        Clock::time_point due;
        std::uint64_t freeBytes = 0; ///< on the file system when it failed
    };

    bool due(const Retry &retry, Clock::time_point now) const
    {
        return retry.due <= now || freeBytes(m_folder) > retry.freeBytes;
    }

    void convert(const QList<FilePath> &names, bool retrying)
    {
        if (names.isEmpty() && !m_firstRun && !retrying)
            return;
        m_firstRun = false;
        m_messages.quiet = retrying;
        const ConsoleOutcome outcome =
            convertOnce(m_view, m_messages, ConvertThreading{false, 1, 2}, QSet<FilePath>(names.cbegin(), names.cend()),
                        [this](const DeletionGroup::Pending &p) { return holdDeletion(p); });
        m_messages.quiet = false;
        const Clock::time_point now = Clock::now();
        for (const FilePath &name : names)
            noteResult(name, outcome.records.value(name), now);
        noteThumbnailsLeft(now);
    }

    // A JPEG that could not be written is tried again later; a file that did
    // not load waits until it changes (the watch reports each version once).
    void noteResult(const FilePath &name, const ConvertSession::ScreenshotRecord &record, Clock::time_point now)
    {
        const auto it = std::find_if(m_retries.begin(), m_retries.end(), [&](const Retry &r) { return r.name == name; });
        if (!record.jpeg.isEmpty() || !record.encoded || !record.loaded) {
            if (it != m_retries.end())
                m_retries.erase(it);
            return;
        }
        Retry &retry = it != m_retries.end() ? *it : m_retries.emplace_back(Retry{name, *record.loaded, 0, now, 0});
        if (!(retry.version == *record.loaded))
            retry = Retry{name, *record.loaded, 0, now, 0};
        retry.due = now + kRetryWaits[std::min<std::size_t>(std::size_t(retry.tries), std::size(kRetryWaits) - 1)];
        retry.freeBytes = freeBytes(m_folder);
        ++retry.tries;
    }

    // Thumbnail bitmaps whose JPEGs could not be written wait in Thumbs; a
    // Convert over no screenshot converts them.
    void noteThumbnailsLeft(Clock::time_point now)
    {
        if (!m_thumbs || ThumbnailJournal::read(m_folder / kThumbsFolderName).isEmpty()) {
            m_thumbnailRetry.reset();
            return;
        }
        const int tries = m_thumbnailRetry ? m_thumbnailRetry->tries : 0;
        m_thumbnailRetry = Retry{FilePath(), {}, tries + 1,
                                 now + kRetryWaits[std::min<std::size_t>(std::size_t(tries), std::size(kRetryWaits) - 1)],
                                 freeBytes(m_folder)};
    }

    void retryDue(Clock::time_point now)
    {
        QList<FilePath> names;
        for (auto it = m_retries.begin(); it != m_retries.end();) {
            if (!fileUnchanged(m_folder / it->name, it->version)) {
                it = m_retries.erase(it); // gone or changed: the watch reports the new version
                continue;
            }
            if (this->due(*it, now))
                names << it->name;
            ++it;
        }
        if (!names.isEmpty() || (m_thumbnailRetry && due(*m_thumbnailRetry, now)))
            convert(names, true);
    }

    // Where leases say nothing of writers, a screenshot is deleted only once
    // it has been unchanged for a while; the Convert keeps it until then.
    bool holdDeletion(const DeletionGroup::Pending &pending)
    {
        const FilePath name = pending.screenshot.fileName();
        if (!m_watch.withoutLeases(name))
            return false;
        m_held.push_back(pending);
        return true;
    }

    void deleteSettled(Clock::time_point now)
    {
        if (m_held.empty())
            return;
        DeletionGroup group;
        std::vector<DeletionGroup::Pending> stillHeld;
        for (DeletionGroup::Pending &p : m_held) {
            const FilePath name = p.screenshot.fileName();
            if (!p.converted || !m_watch.stillInSight(name, *p.converted))
                continue; // changed or gone: a new version is converted, and held, afresh
            if (m_watch.unchangedLongEnough(name, *p.converted, now))
                group.add(std::move(p));
            else
                stillHeld.push_back(std::move(p));
        }
        m_held.swap(stillHeld);
        try {
            const int deleted = group.flush();
            if (deleted > 0) {
                std::printf("%s: deleted %d\n", m_folder.data(), deleted);
                std::fflush(stdout);
            }
        } catch (const std::exception &e) {
            std::fprintf(stderr, "grelm-converter: %s\n", e.what());
        }
    }

    FilePath m_folder;
    ConsoleMessageSink m_messages;
    ConsoleConvertView m_view;
    ArrivalWatch m_watch;
    std::unique_ptr<FolderEvents> m_events;
    std::optional<FileStamp> m_watched; ///< the folder the events come from
    std::vector<Retry> m_retries;
    std::optional<Retry> m_thumbnailRetry;
    std::vector<DeletionGroup::Pending> m_held;
    Clock::time_point m_lastSlowLook;
    bool m_thumbs = false;
    bool m_gone = false;
    bool m_saidNoEvents = false;
    bool m_firstRun = true;
};

} // namespace

int runConsoleWatch(const CommandLine &line)
{
    ConsoleMessageSink messages;
    const std::optional<FilePath> folder = consoleGameFolder(line, messages);
    if (!folder)
        return 2;
    yieldToTheGame();
    Watcher watcher(line, *folder);
    if (!watcher.start())
        return 2;
    return watcher.run();
}

} // namespace grelm
