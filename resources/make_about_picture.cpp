// Draws the about picture (512 x 256 pixels) and writes it as a JPEG file:
//     make-about-picture resources/about.jpg
// The picture is kept in the repository; run this again after changing it.
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <cstdio>

namespace {

const QString kFamily = QStringLiteral("Tahoma");

void registerTahoma()
{
    if (QFontDatabase::families().contains(kFamily))
        return;
    for (const char *file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
}

QFont tahoma(qreal points, bool bold = false)
{
    QFont font(kFamily);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// The same dark stripes as the program's windows, so the picture sits with them.
void drawStripes(QPainter &painter, const QSize &size)
{
    for (int y = 0; y < size.height(); ++y) {
        painter.setPen(y % 2 == 0 ? QColor(0, 0, 0) : QColor(37, 33, 30));
        painter.drawLine(0, y, size.width() - 1, y);
    }
}

void drawText(QPainter &painter, const QRect &box, const QFont &font, const QColor &colour, const QString &text)
{
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text);
}

QImage drawAboutPicture()
{
    QImage image(512, 256, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawStripes(painter, image.size());

    const QColor white(255, 255, 255), grey(192, 192, 192), amber(255, 200, 64);
    drawText(painter, {16, 14, 480, 34}, tahoma(20, true), white, QStringLiteral("GRELM Screenshot Converter"));
    drawText(painter, {18, 50, 480, 16}, tahoma(8.25), grey,
             QStringLiteral("Version 0.43  -  turns Half-Life and Counter-Strike screenshots into JPEG files"));
    drawText(painter, {18, 74, 480, 18}, tahoma(9, true), amber,
             QStringLiteral("Made by the GRELM developers  -  http://www.grelm.example/"));

    painter.setPen(QPen(QColor(128, 128, 128), 2));
    painter.drawLine(16, 106, 494, 106);

    drawText(painter, {18, 118, 480, 18}, tahoma(9, true), white,
             QStringLiteral("JPEG files are written with libjpeg-turbo (libjpeg-turbo.org)."));
    drawText(painter, {18, 140, 480, 32}, tahoma(8.25), grey,
             QStringLiteral("This software is based in part on the work of the Independent JPEG Group."));
    drawText(painter, {18, 172, 480, 32}, tahoma(8.25), grey,
             QStringLiteral("libjpeg-turbo: Copyright (C) 2009-2023 D. R. Commander. All Rights Reserved. "
                            "Used under its BSD-style licence; see the README for the full notice."));
    drawText(painter, {18, 222, 480, 16}, tahoma(8.25), QColor(128, 128, 128),
             QStringLiteral("Click anywhere to close this window."));
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-about-picture OUTPUT.jpg\n");
        return 2;
    }
    registerTahoma();
    QImageWriter writer(QString::fromLocal8Bit(argv[1]), "jpeg");
    writer.setQuality(95);
    if (!writer.write(drawAboutPicture())) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
