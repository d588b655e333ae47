#include "app/striped_background.h"

#include <QRgb>

#include <algorithm>

namespace grelm {

namespace {

QImage makeStripes()
{
    QImage image(512, 384, QImage::Format_RGB32);
    const QRgb even = qRgb(0, 0, 0);
    const QRgb odd = qRgb(37, 33, 30);
    for (int y = 0; y < image.height(); ++y) {
        QRgb *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::fill(row, row + image.width(), y % 2 == 0 ? even : odd);
    }
    return image;
}

} // namespace

const QImage &stripedBackground()
{
    static const QImage image = makeStripes();
    return image;
}

} // namespace grelm
