#pragma once

#include "core/file_path.h"
#include "thumbs/area_reduction.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

namespace grelm {

class cDIBSection;

/// The thumbnail bitmaps the screenshot pass's worker threads make of each
/// screenshot while it is loaded anyway, so that the thumbnail branch need not
/// load it again; kept by screenshot name, from the very file the
/// screenshot's record was loaded from, up to kBudget bytes in all.
class ThumbnailsAhead {
public:
    static constexpr qsizetype kBudget = 16 * 1024 * 1024;

    /// Has the workers, `workers` of them, reduce each screenshot they load
    /// to fit a square of `width`.
    void start(std::int32_t width, int workers);
    /// Ends the reducing (the screenshot pass is over); what was kept stays.
    void stop();
    /// Whether the workers are to reduce what they load.
    bool making() const { return !m_scratch.empty(); }
    /// Reduces the picture loaded in `dib` on worker `worker` into the bytes
    /// of a bitmap file; safe on that worker's thread. Throws on failure.
    void reduce(const cDIBSection &dib, int worker, QByteArray &bmp);

    /// Keeps `bmp` as the thumbnail of `screenshot`, unless the budget is spent.
    void keep(const FilePath &screenshot, const QByteArray &bmp);
    /// The thumbnail kept for `screenshot`; null when none was.
    const QByteArray *find(const FilePath &screenshot) const;
    /// The width they were made for; 0 when none were to be made.
    std::int32_t width() const { return m_width; }
    /// Forgets every thumbnail kept.
    void clear();

private:
    std::vector<ReductionScratch> m_scratch; // one for each worker while making
    std::int32_t m_width = 0;
    QHash<FilePath, QByteArray> m_kept;
    qsizetype m_bytes = 0;
};

} // namespace grelm
