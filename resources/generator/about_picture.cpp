// The about picture: who made the program and which JPEG library it uses.
#include "artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace grelm::artwork {

namespace {

const QColor kAmber(255, 157, 0);
const QColor kCream(244, 236, 220);
const QColor kMuted(200, 188, 170);

QFont tahoma(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void drawStripesAndGlow(QPainter &p, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        p.fillRect(QRect(area.left(), y, area.width(), 1), y % 2 == 0 ? QColor(0, 0, 0) : QColor(37, 33, 30));
    QRadialGradient glow(QPointF(48, 48), 300);
    glow.setColorAt(0, QColor(255, 157, 0, 70));
    glow.setColorAt(1, QColor(255, 157, 0, 0));
    p.fillRect(area, glow);
}

void drawRule(QPainter &p, int y)
{
    QLinearGradient rule(16, 0, 496, 0);
    rule.setColorAt(0, kAmber);
    rule.setColorAt(1, QColor(255, 157, 0, 0));
    p.fillRect(QRect(16, y, 480, 2), rule);
}

void drawLine(QPainter &p, const QRect &box, const QFont &font, const QColor &colour, const QString &text)
{
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text);
}

void drawTitle(QPainter &p)
{
    p.drawImage(QRect(16, 14, 64, 64), icon(64));
    p.setFont(tahoma(25, true));
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(QPointF(94, 45), QStringLiteral("GRELM Screenshot Converter"));
    p.setPen(kCream);
    p.drawText(QPointF(92, 43), QStringLiteral("GRELM Screenshot Converter"));
    drawLine(p, {93, 54, 400, 16}, tahoma(12), kMuted, QStringLiteral("Version 0.43"));
}

void drawCredits(QPainter &p)
{
    drawLine(p, {18, 92, 480, 18}, tahoma(13, true), kAmber,
             QStringLiteral("Made by the GRELM team  \u00b7  grelm.sourceforge.io"));
    drawRule(p, 118);
    drawLine(p, {18, 128, 480, 18}, tahoma(12, true), kCream,
             QStringLiteral("JPEG files are written with libjpeg-turbo (libjpeg-turbo.org)."));
    drawLine(p, {18, 150, 480, 18}, tahoma(11), kMuted,
             QStringLiteral("This software is based in part on the work of the Independent JPEG Group."));
    drawLine(p, {18, 170, 480, 16}, tahoma(11), kMuted,
             QStringLiteral("libjpeg-turbo: Copyright \u00a9 2009-2023 D. R. Commander. All Rights Reserved."));
    drawLine(p, {18, 188, 480, 16}, tahoma(11), kMuted,
             QStringLiteral("Used under its BSD-style licence; the README holds the full notice."));
    drawLine(p, {18, 222, 480, 16}, tahoma(11), QColor(128, 128, 128),
             QStringLiteral("Click anywhere to close this window."));
}

} // namespace

QImage about()
{
    QImage image(512, 256, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawStripesAndGlow(p, image.rect());
    drawTitle(p);
    drawCredits(p);
    p.end();
    return image;
}

} // namespace grelm::artwork
