#include "support/test_picture.h"

#include "support/bmp_builder.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace grelm::test {

QImage drawnPicture(int width, int height, const std::function<QRgb(int x, int y)> &colourAt)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colourAt(x, y));
    return image;
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

QByteArray screenshotFile(int width, int height, int seed)
{
    return make24BitBmp(testPicture(width, height, seed));
}

QImage gradientImage(int width, int height)
{
    return drawnPicture(width, height, [=](int x, int y) {
        return qRgb((x * 255) / std::max(1, width - 1), (y * 255) / std::max(1, height - 1), ((x + y) * 97) % 256);
    });
}

QImage quarters(int width, int height)
{
    return drawnPicture(width, height, [=](int x, int y) {
        return y < height / 2 ? (x < width / 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                              : (x < width / 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 0));
    });
}

QImage checkerboard(int width, int height, int square)
{
    return drawnPicture(width, height, [=](int x, int y) {
        return (x / square + y / square) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    });
}

QImage solidImage(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

namespace {

std::string hex(QRgb colour)
{
    std::ostringstream out;
    out << std::hex << (colour & 0xFFFFFF);
    return out.str();
}

} // namespace

::testing::AssertionResult nearColour(QRgb actual, QRgb expected, int tolerance)
{
    if (channelDistance(actual, expected) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << hex(actual) << " is not within " << tolerance << " of " << hex(expected);
}

std::string firstDifference(const QImage &actual, const QImage &expected, int tolerance)
{
    std::ostringstream out;
    if (actual.size() != expected.size()) {
        out << "size " << actual.width() << "x" << actual.height() << " instead of " << expected.width() << "x"
            << expected.height();
        return out.str();
    }
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (channelDistance(actual.pixel(x, y), expected.pixel(x, y)) > tolerance) {
                out << "pixel (" << x << "," << y << ") is " << hex(actual.pixel(x, y)) << " instead of "
                    << hex(expected.pixel(x, y));
                return out.str();
            }
    return {};
}

double psnr(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.isNull())
        return 0;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const double dr = qRed(p) - qRed(q), dg = qGreen(p) - qGreen(q), db = qBlue(p) - qBlue(q);
            sum += dr * dr + dg * dg + db * db;
        }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

} // namespace grelm::test
