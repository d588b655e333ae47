#include "artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace grelm::artwork {

namespace {

const QColor kAmber(255, 157, 0);
const QColor kAmberDark(178, 92, 0);
const QColor kStripeDark(0, 0, 0);
const QColor kStripeLight(37, 33, 30);
const QColor kCream(244, 236, 220);

// The icon in a 48-unit square: a dark tile with an amber rim holding a
// snapshot (a framed landscape under a sun), tilted where there are pixels enough.
void drawIcon(QPainter &p, bool tilted)
{
    QLinearGradient tile(0, 0, 0, 48);
    tile.setColorAt(0, QColor(62, 55, 49));
    tile.setColorAt(1, QColor(12, 10, 9));
    p.setPen(QPen(kAmber, 2.5));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, 44, 44), 8, 8);

    p.save();
    p.translate(24, 25);
    if (tilted)
        p.rotate(-8);
    p.setPen(Qt::NoPen);
    p.setBrush(kCream);
    p.drawRect(QRectF(-15, -13, 30, 25));
    p.setBrush(QColor(40, 60, 84));
    p.drawRect(QRectF(-12, -10, 24, 16));
    p.setBrush(QColor(255, 214, 90));
    p.drawEllipse(QPointF(6, -5), 3.2, 3.2);
    QPainterPath hills;
    hills.moveTo(-12, 6);
    hills.lineTo(-5, -3);
    hills.lineTo(0, 2);
    hills.lineTo(4, -1);
    hills.lineTo(12, 6);
    hills.closeSubpath();
    p.setBrush(kAmber);
    p.drawPath(hills);
    p.restore();
}

void drawStripes(QPainter &p, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        p.fillRect(QRect(area.left(), y, area.width(), 1), y % 2 == 0 ? kStripeDark : kStripeLight);
}

QFont tahoma(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void drawBannerGlow(QPainter &p)
{
    QRadialGradient glow(QPointF(40, 40), 260);
    glow.setColorAt(0, QColor(255, 157, 0, 70));
    glow.setColorAt(1, QColor(255, 157, 0, 0));
    p.fillRect(QRect(0, 0, 512, 80), glow);
    QLinearGradient rule(0, 0, 480, 0);
    rule.setColorAt(0, kAmber);
    rule.setColorAt(1, QColor(255, 157, 0, 0));
    p.fillRect(QRect(84, 47, 396, 2), rule);
}

void drawBannerText(QPainter &p)
{
    p.setFont(tahoma(25, true));
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(QPointF(86, 41), QStringLiteral("GRELM Screenshot Converter"));
    p.setPen(kCream);
    p.drawText(QPointF(84, 39), QStringLiteral("GRELM Screenshot Converter"));
    p.setFont(tahoma(11, false));
    p.setPen(QColor(200, 188, 170));
    p.drawText(QPointF(85, 65), QStringLiteral("v0.43  \u00b7  by the GRELM team  \u00b7  JPEG encoding by libjpeg-turbo"));
}

} // namespace

QImage icon(int size, bool smooth)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, smooth);
    p.scale(size / 48.0, size / 48.0);
    drawIcon(p, size >= 32);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage banner()
{
    QImage image(512, 80, QImage::Format_RGB32);
    QPainter p(&image);
    drawStripes(p, image.rect());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawBannerGlow(p);
    p.drawImage(QRect(12, 8, 64, 64), icon(64));
    drawBannerText(p);
    p.end();
    return image;
}

} // namespace grelm::artwork
