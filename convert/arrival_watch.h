#pragma once

#include "core/file_stamp.h"
#include "core/write_lease.h"

#include <QHash>
#include <QList>

#include <chrono>
#include <functional>
#include <optional>

namespace grelm {

/// What one look at a screenshot file finds: its stamp, the file size its
/// header declares (nothing before the header is there), whether its header
/// is sound and its pixel array all there, and what a lease says of writers.
struct ArrivalLook {
    FileStamp stamp;
    std::optional<std::uint32_t> declaredSize;
    bool pixelsPresent = false;
    WriterState writer = WriterState::Unknown;
};

/// Decides when the screenshots of a watched folder are complete, and so may
/// be converted: closed after writing or moved in (an event, or a look that
/// found the name new), no process holding them open for writing, and the
/// size equal to what the header declares; a header that declares no size or
/// another one counts once the file has been still for kSettledWithoutSize
/// with its pixel array there. Where leases say nothing (some file systems, a
/// file of another user), a file whose size matches must also have been
/// still for kSettled, and it may be deleted only once it has been unchanged
/// for kUnchangedBeforeDeletion. Each version of a file is reported once.
///
/// Only the files an event or a new name points at are looked at; the
/// others are listed but not looked at again, except after a full look is
/// asked for (events were lost).
class ArrivalWatch {
public:
    using Clock = std::chrono::steady_clock;
    /// Looks at a file; nothing when it is gone.
    using Looker = std::function<std::optional<ArrivalLook>(const FilePath &path)>;

    static constexpr std::chrono::milliseconds kSettled{1000};
    static constexpr std::chrono::milliseconds kSettledWithoutSize{3000};
    static constexpr std::chrono::seconds kUnchangedBeforeDeletion{60};

    explicit ArrivalWatch(FilePath folder, Looker looker = lookAtArrival);

    /// Lists the folder: every screenshot there now counts as reported but
    /// those being written, which are returned, to be reported once complete.
    QList<FilePath> start(Clock::time_point now);
    /// A file closed after writing or moved in; false when it is no screenshot.
    bool arrived(const FilePath &name, Clock::time_point now);
    /// Events were lost: the next look lists the folder and looks at every file.
    void overflowed() { m_fullLookDue = true; }
    /// Lists the folder for names that came without an event; names already
    /// settled are not looked at again.
    void listAgain(Clock::time_point now);
    /// Looks at the files that are not settled yet (and, after an overflow,
    /// at every file) and returns those complete at `now`, each version once.
    QList<FilePath> look(Clock::time_point now);
    /// Whether some file is waiting to be looked at again soon.
    bool waiting() const;
    /// Whether the screenshot `name`, converted from `converted`, may be
    /// deleted now by the rule without leases (unchanged long enough since it
    /// was last seen changing); false once it changed.
    bool unchangedLongEnough(const FilePath &name, const FileStamp &converted, Clock::time_point now) const;
    /// Whether leases said nothing of `name`'s writers at its last look.
    bool withoutLeases(const FilePath &name) const { return m_seen.value(name).withoutLeases; }
    /// Whether `name` is still the version `converted` as last seen.
    bool stillInSight(const FilePath &name, const FileStamp &converted) const;
    /// Looks at `name` again at the next look (a retry, after it changed).
    void lookAgain(const FilePath &name);

    /// The screenshot names a look takes (not hidden, *.bmp).
    static bool isScreenshotName(const FilePath &name);
    /// The real look: stat, header, pixel array, lease.
    static std::optional<ArrivalLook> lookAtArrival(const FilePath &path);

private:
    struct Seen {
        std::optional<FileStamp> stamp;
        Clock::time_point since; ///< when it was last seen changing
        bool settled = false;    ///< looked at no more until an event
        bool reported = false;
        bool withoutLeases = false;
    };
    WriterState writerOf(const ArrivalLook &look) const;
    bool complete(const Seen &seen, const ArrivalLook &look, Clock::time_point now) const;
    /// Looks at one file; false when it is gone.
    bool lookAt(const FilePath &name, Seen &seen, Clock::time_point now, QList<FilePath> &ready);

    FilePath m_folder;
    Looker m_look;
    QHash<FilePath, Seen> m_seen;
    bool m_fullLookDue = false;
    bool m_leasesWork = false; ///< a lease on a file of our own in the folder was granted
};

} // namespace grelm
