#include "app/line_shape.h"

#include <QPainter>
#include <QPen>
#include <QRect>

namespace grelm {

namespace {

constexpr int kPenWidth = 2;

} // namespace

LineShape::LineShape(QPoint from, QPoint to, QWidget *parent) : QWidget(parent), m_from(from), m_to(to)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // The pen is centred on the line, so it reaches one pixel beyond the points.
    setGeometry(QRect(from, to).normalized().adjusted(-kPenWidth, -kPenWidth, kPenWidth, kPenWidth));
}

void LineShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(QColor(128, 128, 128), kPenWidth, Qt::SolidLine, Qt::FlatCap));
    const QPoint origin = geometry().topLeft();
    painter.drawLine(m_from - origin, m_to - origin);
}

} // namespace grelm
