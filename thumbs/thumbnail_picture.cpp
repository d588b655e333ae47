#include "thumbs/thumbnail_picture.h"

#include "core/errors.h"
#include "imaging/bmp_reader.h"

#include <QImageReader>

#include <cstdint>
#include <vector>

namespace grelm {

namespace {

// Turns the reader's bottom-up blue-green-red rows into an upright image.
QImage uprightImage(const BmpResult &bmp, const std::vector<std::uint8_t> &pixels)
{
    QImage image(bmp.width, bmp.height, QImage::Format_RGB32);
    if (image.isNull())
        throw FileError("Not enough memory for the picture");
    const std::size_t rowBytes = (static_cast<std::size_t>(bmp.width) * 3 + 3) / 4 * 4;
    for (std::int32_t y = 0; y < bmp.height; ++y) {
        const std::uint8_t *in = pixels.data() + rowBytes * (bmp.height - 1 - y);
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (std::int32_t x = 0; x < bmp.width; ++x, in += 3)
            out[x] = qRgb(in[2], in[1], in[0]);
    }
    return image;
}

// Pictures in the other formats Qt reads (PNG, JPEG, ...). A file that looks
// like a bitmap is left to our own reader's verdict.
QImage readOtherFormat(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (reader.format().isEmpty() || reader.format() == "bmp")
        return {};
    return reader.read();
}

} // namespace

Picture loadPicture(const QString &path)
{
    std::vector<std::uint8_t> pixels;
    const BmpResult bmp = BmpReader::load(path, pixels);
    if (bmp)
        return Picture(uprightImage(bmp, pixels));
    QImage other = readOtherFormat(path);
    if (other.isNull())
        throw FileError(QStringLiteral("Cannot load the picture %1: %2")
                            .arg(path, QString::fromUtf8(bmp.error))
                            .toStdString());
    return Picture(std::move(other));
}

} // namespace grelm
