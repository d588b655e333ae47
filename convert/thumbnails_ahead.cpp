#include "convert/thumbnails_ahead.h"

#include "thumbs/make_thumbnails.h"

namespace grelm {

void ThumbnailsAhead::start(std::int32_t width, int workers)
{
    m_width = width;
    m_scratch.assign(std::size_t(workers), ReductionScratch());
}

void ThumbnailsAhead::stop()
{
    m_scratch = {};
}

void ThumbnailsAhead::reduce(const cDIBSection &dib, int worker, QByteArray &bmp)
{
    reduceLoadedScreenshot(dib, m_width, m_scratch[std::size_t(worker)], bmp);
}

void ThumbnailsAhead::keep(const FilePath &screenshot, const QByteArray &bmp)
{
    if (m_bytes + bmp.size() > kBudget)
        return;
    m_kept.insert(screenshot, bmp);
    m_bytes += bmp.size();
}

const QByteArray *ThumbnailsAhead::find(const FilePath &screenshot) const
{
    const auto found = m_kept.constFind(screenshot);
    return found == m_kept.cend() ? nullptr : &*found;
}

void ThumbnailsAhead::clear()
{
    m_kept.clear();
    m_bytes = 0;
}

} // namespace grelm
