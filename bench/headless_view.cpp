#include "bench/headless_view.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>

namespace grelm::bench {

HeadlessConvertView::HeadlessConvertView(FilePath folder, int count, bool thumbs, bool deleteSources)
    : m_folder(std::move(folder)), m_count(count), m_thumbs(thumbs), m_deleteSources(deleteSources)
{
}

void HeadlessConvertView::processEvents()
{
    closeGap();
    ++m_turns;
    QCoreApplication::processEvents();
    m_sinceTurn.restart();
}

void HeadlessConvertView::start()
{
    m_longestGap = 0;
    m_longestGapPlace.clear();
    m_caption.clear();
    m_turns = 0;
    m_sinceTurn.restart();
}

void HeadlessConvertView::finish() { closeGap(); }

void HeadlessConvertView::closeGap()
{
    const double gap = m_sinceTurn.seconds();
    if (gap <= m_longestGap)
        return;
    m_longestGap = gap;
    m_longestGapPlace = QStringLiteral("after %1 turns, caption \"%2\"").arg(m_turns).arg(m_caption);
}

} // namespace grelm::bench
