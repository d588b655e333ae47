#include "bmp_images.h"

#include <sstream>

namespace grelm::test {

QImage bufferImage(const std::vector<std::uint8_t> &pixels, const BmpResult &size)
{
    QImage image(size.width, size.height, QImage::Format_RGB32);
    const std::size_t stride = (std::size_t(size.width) * 3 + 3) & ~std::size_t(3);
    for (int y = 0; y < size.height; ++y) {
        const std::uint8_t *row = pixels.data() + std::size_t(size.height - 1 - y) * stride;
        for (int x = 0; x < size.width; ++x)
            image.setPixel(x, y, qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
    }
    return image;
}

QImage paletteImage(int width, int height, const std::vector<QRgb> &palette)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, palette[std::size_t(x + 3 * y) % palette.size()]);
    return image;
}

namespace {

int spread(int value, int bits)
{
    const int top = value >> (8 - bits);
    int out = 0;
    for (int filled = 0; filled < 8; filled += bits) {
        const int shift = 8 - bits - filled;
        out |= shift >= 0 ? top << shift : top >> -shift;
    }
    return out & 0xFF;
}

} // namespace

QImage quantised(const QImage &image, int redBits, int greenBits, int blueBits)
{
    QImage out(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            out.setPixel(x, y, qRgb(spread(qRed(c), redBits), spread(qGreen(c), greenBits), spread(qBlue(c), blueBits)));
        }
    return out;
}

std::string firstDifference(const QImage &actual, const QImage &expected)
{
    std::ostringstream out;
    if (actual.size() != expected.size()) {
        out << "size " << actual.width() << "x" << actual.height() << " instead of " << expected.width() << "x"
            << expected.height();
        return out.str();
    }
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                out << "pixel (" << x << "," << y << ") is " << std::hex << (actual.pixel(x, y) & 0xFFFFFF)
                    << " instead of " << (expected.pixel(x, y) & 0xFFFFFF);
                return out.str();
            }
    return {};
}

} // namespace grelm::test
