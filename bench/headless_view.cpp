#include "bench/headless_view.h"

#include <QCoreApplication>

#include <algorithm>
#include <utility>

namespace grelm::bench {

HeadlessConvertView::HeadlessConvertView(QString folder, int count, bool thumbs)
    : m_folder(std::move(folder)), m_count(count), m_thumbs(thumbs)
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
    m_turns = 0;
    m_sinceTurn.restart();
}

void HeadlessConvertView::finish() { closeGap(); }

void HeadlessConvertView::closeGap() { m_longestGap = std::max(m_longestGap, m_sinceTurn.seconds()); }

} // namespace grelm::bench
