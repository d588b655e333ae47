#include "app/web_link_label.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>

namespace grelm {

WebLinkLabel::WebLinkLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent), m_opener([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    setToolTip(QStringLiteral("Visit our Website!"));
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
    setTextColour(restColour());
}

void WebLinkLabel::setTextColour(const QColor &colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colour);
    setPalette(palette);
    clearUnderline();
}

void WebLinkLabel::clearUnderline()
{
    if (!font().underline())
        return;
    QFont plain = font();
    plain.setUnderline(false);
    setFont(plain);
}

void WebLinkLabel::enterEvent(QEnterEvent *event)
{
    setTextColour(hoverColour());
    QLabel::enterEvent(event);
}

void WebLinkLabel::leaveEvent(QEvent *event)
{
    m_pressed = false;
    setTextColour(restColour());
    QLabel::leaveEvent(event);
}

// After a click the label rests white until the pointer moves again.
void WebLinkLabel::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed && rect().contains(event->position().toPoint()))
        setTextColour(hoverColour());
    QLabel::mouseMoveEvent(event);
}

void WebLinkLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void WebLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (!click)
        return;
    setTextColour(restColour());
    if (m_opener)
        m_opener(QUrl(text()));
}

// A font handed down from the window never brings an underline with it.
void WebLinkLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        clearUnderline();
}

} // namespace grelm
