#pragma once

#include "core/file_stamp.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace grelm {

/// Tells when a screenshot that is being written has become complete: its
/// size has not changed for a second and equals the file size its bitmap
/// header declares; a bitmap whose header declares no size (0) or another one
/// is complete once unchanged for three seconds (the caller then checks that
/// it loads). Each version of a file is reported once.
class ArrivalWatch {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::milliseconds kSettled{1000};
    static constexpr std::chrono::milliseconds kSettledWithoutSize{3000};

    /// One look at a file: its stamp and the file size its header declares
    /// (nothing when the header cannot be read yet).
    void observe(const QString &name, const FileStamp &stamp, std::optional<std::uint32_t> declaredSize,
                 Clock::time_point now);
    /// Forgets the files not seen in the last look.
    void keepOnly(const QStringList &names);
    /// The files complete at `now` and not reported before; each is reported once
    /// until it changes.
    QStringList complete(Clock::time_point now);
    /// Marks a file as reported without converting it (it was there at the start).
    void markReported(const QString &name, const FileStamp &stamp);

private:
    struct Seen {
        FileStamp stamp;
        std::optional<std::uint32_t> declaredSize;
        Clock::time_point since; ///< when it last changed
        bool reported = false;
    };
    QHash<QString, Seen> m_seen;
};

/// The file size a bitmap file's header declares, when its first bytes are there.
std::optional<std::uint32_t> declaredBitmapSize(const QString &path);

} // namespace grelm
