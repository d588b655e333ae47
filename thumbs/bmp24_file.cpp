#include "thumbs/bmp24_file.h"

#include "core/atomic_file.h"
#include "core/pixel_rows.h"
#include "core/numeric.h"

#include <QtEndian>

#include <cstdint>
#include <cstring>

namespace grelm {

namespace {

constexpr std::int64_t kFileHeaderSize = 14;
constexpr std::int64_t kInfoHeaderSize = 40;

template <typename T>
void putLittleEndian(char *&out, T value)
{
    qToLittleEndian(value, out);
    out += sizeof(T);
}

void writeHeaders(char *out, std::int32_t width, std::int32_t height,
                  std::uint32_t imageSize, std::uint32_t fileSize)
{
    putLittleEndian<std::uint16_t>(out, 0x4D42); // "BM"
    putLittleEndian<std::uint32_t>(out, fileSize);
    putLittleEndian<std::uint32_t>(out, 0); // reserved
    putLittleEndian<std::uint32_t>(out, kFileHeaderSize + kInfoHeaderSize);
    putLittleEndian<std::uint32_t>(out, kInfoHeaderSize);
    putLittleEndian<std::int32_t>(out, width);
    putLittleEndian<std::int32_t>(out, height); // positive: bottom-up (core/pixel_rows.h)
    putLittleEndian<std::uint16_t>(out, 1);     // planes
    putLittleEndian<std::uint16_t>(out, 24);    // bits per pixel
    putLittleEndian<std::uint32_t>(out, 0);     // BI_RGB, uncompressed
    putLittleEndian<std::uint32_t>(out, imageSize);
    putLittleEndian<std::int32_t>(out, 0); // horizontal resolution unknown
    putLittleEndian<std::int32_t>(out, 0); // vertical resolution unknown
    putLittleEndian<std::uint32_t>(out, 0); // colours used
    putLittleEndian<std::uint32_t>(out, 0); // important colours
}

void writeRow(char *out, const QRgb *pixels, std::int32_t width)
{
    for (std::int32_t x = 0; x < width; ++x) {
        *out++ = static_cast<char>(qBlue(pixels[x]));
        *out++ = static_cast<char>(qGreen(pixels[x]));
        *out++ = static_cast<char>(qRed(pixels[x]));
    }
}

} // namespace

std::int32_t bmp24Pitch(std::int32_t width)
{
    return checkedNarrow<std::int32_t>(paddedRowBytes(std::int64_t{width} * 3));
}

std::uint8_t *startBmp24(QByteArray &file, std::int32_t width, std::int32_t height)
{
    const auto imageSize = checkedNarrow<std::uint32_t>(std::int64_t{bmp24Pitch(width)} * height);
    const auto fileSize = checkedNarrow<std::uint32_t>(kFileHeaderSize + kInfoHeaderSize + imageSize);
    file.resize(checkedNarrow<qsizetype>(std::int64_t{fileSize}));
    writeHeaders(file.data(), width, height, imageSize, fileSize);
    char *rows = file.data() + kFileHeaderSize + kInfoHeaderSize;
    std::memset(rows, 0, imageSize); // the padding bytes stay zero
    return reinterpret_cast<std::uint8_t *>(rows);
}

BottomUpPicture bmp24Picture(const QByteArray &file)
{
    const char *info = file.constData() + kFileHeaderSize;
    const auto width = qFromLittleEndian<std::int32_t>(info + 4);
    const auto height = qFromLittleEndian<std::int32_t>(info + 8);
    const auto *rows = reinterpret_cast<const std::uint8_t *>(info + kInfoHeaderSize);
    return {rows, width, height, bmp24Pitch(width)};
}

QByteArray encodeBmp24(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const std::int32_t width = rgb.width();
    const std::int32_t height = rgb.height();
    QByteArray bytes;
    char *rows = reinterpret_cast<char *>(startBmp24(bytes, width, height));
    for (std::int32_t y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(height - 1 - y));
        writeRow(rows + std::int64_t{bmp24Pitch(width)} * y, line, width);
    }
    return bytes;
}

void writeBmp24(const FilePath &path, const QImage &image)
{
    writeFileAtomically(path, encodeBmp24(image));
}

} // namespace grelm
