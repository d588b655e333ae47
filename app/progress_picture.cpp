#include "app/progress_picture.h"

#include <QPainter>

namespace grelm {

ProgressPicture::ProgressPicture(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ProgressPicture::clear()
{
    m_fill = 0;
    update();
}

void ProgressPicture::fill(int width)
{
    m_fill = width;
    update();
}

void ProgressPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (m_fill > 0)
        painter.fillRect(QRect(0, 0, m_fill, height()).intersected(rect()), palette().color(QPalette::Highlight));
}

} // namespace grelm
