#include "bmp_images.h"

#include "core/pixel_rows.h"
#include "support/test_picture.h"

namespace grelm::test {

namespace {

// The colour of the pixel (x, y) counted from the top-left, read from a
// bottom-up buffer of blue-green-red pixels.
QRgb bufferPixel(const unsigned char *bits, int stride, int height, int channels, int x, int y)
{
    const unsigned char *p = bits + (height - 1 - y) * stride + x * channels;
    return qRgb(p[2], p[1], p[0]);
}

} // namespace

QImage bufferImage(const unsigned char *bits, int width, int height, int stride, int channels)
{
    return drawnPicture(width, height, [=](int x, int y) { return bufferPixel(bits, stride, height, channels, x, y); });
}

QImage bufferImage(const std::vector<std::uint8_t> &pixels, const BmpResult &size)
{
    return bufferImage(pixels.data(), size.width, size.height, int(paddedRowBytes(std::int64_t(size.width) * 3)), 3);
}

QImage paletteImage(int width, int height, const std::vector<QRgb> &palette)
{
    return drawnPicture(width, height, [&](int x, int y) { return palette[std::size_t(x + 3 * y) % palette.size()]; });
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
    return drawnPicture(image.width(), image.height(), [&](int x, int y) {
        const QRgb c = image.pixel(x, y);
        return qRgb(spread(qRed(c), redBits), spread(qGreen(c), greenBits), spread(qBlue(c), blueBits));
    });
}

} // namespace grelm::test
