#include "support/recording_convert_view.h"

#include <QPainter>
#include <QtEndian>

namespace grelm::test {

namespace {

void put16(QByteArray &b, int at, quint16 v) { qToLittleEndian(v, b.data() + at); }
void put32(QByteArray &b, int at, quint32 v) { qToLittleEndian(v, b.data() + at); }

} // namespace

QByteArray bmpFile(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int w = image.width();
    const int h = image.height();
    const int stride = (w * 3 + 3) & ~3;
    QByteArray b(54 + stride * h, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, quint32(b.size()));
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, quint32(w));
    put32(b, 22, quint32(h));
    put16(b, 26, 1);
    put16(b, 28, 24);
    put32(b, 34, quint32(stride * h));
    for (int y = 0; y < h; ++y) {
        const uchar *src = image.constScanLine(h - 1 - y);
        char *dst = b.data() + 54 + y * stride;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = char(src[3 * x + 2]);
            dst[3 * x + 1] = char(src[3 * x + 1]);
            dst[3 * x + 2] = char(src[3 * x]);
        }
    }
    return b;
}

QImage testPicture(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, QColor::fromHsv((seed * 47) % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv((seed * 91 + 120) % 360, 180, 60));
    QPainter painter(&image);
    painter.fillRect(image.rect(), gradient);
    painter.setBrush(QColor::fromHsv((seed * 13) % 360, 255, 255));
    painter.drawEllipse(QPoint(width / 3 + seed % 7, height / 2), width / 5, height / 4);
    painter.end();
    return image;
}

} // namespace grelm::test
