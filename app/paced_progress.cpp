#include "app/paced_progress.h"

#include "app/progress_picture.h"

#include <QLabel>

#include <utility>

namespace grelm {

PacedProgress::PacedProgress(QLabel &caption, ProgressPicture &bar) : m_label(caption), m_bar(bar) {}

void PacedProgress::restart()
{
    m_caption.reset();
    m_fill.reset();
    m_bar.clear();
    m_sincePush.invalidate();
}

void PacedProgress::turn()
{
    if (m_sincePush.isValid() && m_sincePush.elapsed() < kFrame.count())
        return;
    flush();
}

void PacedProgress::flush()
{
    if (!m_caption && !m_fill)
        return;
    if (m_caption)
        m_label.setText(*std::exchange(m_caption, std::nullopt));
    if (m_fill)
        m_bar.fill(*std::exchange(m_fill, std::nullopt));
    m_sincePush.start();
}

} // namespace grelm
