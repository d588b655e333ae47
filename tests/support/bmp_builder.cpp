#include "support/bmp_builder.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <limits>

namespace grelm::test {

namespace {

void append16(QByteArray &out, std::uint32_t v)
{
    out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void append32(QByteArray &out, std::uint32_t v)
{
    append16(out, v & 0xFFFF);
    append16(out, v >> 16);
}

std::uint32_t packChannel(int value, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const std::uint32_t v = bits >= 8 ? std::uint32_t(value) << (bits - 8) : std::uint32_t(value) >> (8 - bits);
    return (v << shift) & mask;
}

} // namespace

BmpBuilder::BmpBuilder(std::int32_t width, std::int32_t height, std::uint16_t bitCount)
    : m_width(width), m_height(height), m_bitCount(bitCount)
{
}

BmpBuilder &BmpBuilder::masks(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a)
{
    m_masks = std::array<std::uint32_t, 4>{r, g, b, a};
    return *this;
}

bool BmpBuilder::writesMasks() const
{
    return m_header == Header::Info && (m_compression == BitFields || m_compression == AlphaBitFields);
}

std::uint32_t BmpBuilder::colorsUsedValue() const
{
    if (m_colorsUsed)
        return *m_colorsUsed;
    const bool full = m_bitCount <= 8 && m_palette.size() == (std::size_t(1) << m_bitCount);
    return full ? 0 : std::uint32_t(m_palette.size());
}

QByteArray BmpBuilder::infoHeader() const
{
    QByteArray h;
    const std::int32_t storedHeight = m_topDown ? -m_height : m_height;
    append32(h, std::uint32_t(m_header));
    if (m_header == Header::Core) {
        append16(h, std::uint16_t(m_width));
        append16(h, std::uint16_t(storedHeight));
        append16(h, m_planes);
        append16(h, m_bitCount);
        return h;
    }
    append32(h, std::uint32_t(m_width));
    append32(h, std::uint32_t(storedHeight));
    append16(h, m_planes);
    append16(h, m_bitCount);
    append32(h, m_compression);
    append32(h, std::uint32_t(m_pixels.size()));
    append32(h, 2835); // 72 dots per inch
    append32(h, 2835);
    append32(h, colorsUsedValue());
    append32(h, 0);
    const auto masks = m_masks.value_or(std::array<std::uint32_t, 4>{});
    const int maskCount = writesMasks() ? (m_compression == AlphaBitFields ? 4 : 3)
                          : m_header == Header::V2 ? 3 : m_header == Header::Info ? 0 : 4;
    for (int i = 0; i < maskCount; ++i)
        append32(h, masks[std::size_t(i)]);
    if (m_header >= Header::V4) {
        append32(h, 0x73524742); // 'sRGB'
        h.append(QByteArray(36 + 12, '\0')); // end points and gammas, unused for sRGB
    }
    if (m_header == Header::V5)
        h.append(QByteArray(16, '\0')); // intent, profile offset and size, reserved
    return h;
}

QByteArray BmpBuilder::paletteBytes() const
{
    QByteArray p;
    for (QRgb c : m_palette) {
        p.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        if (m_header != Header::Core)
            p.append('\0');
    }
    return p;
}

std::uint32_t BmpBuilder::packFields(QRgb c) const
{
    std::array<std::uint32_t, 4> m = m_masks.value_or(
        m_bitCount == 16 ? std::array<std::uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0}
                         : std::array<std::uint32_t, 4>{0xFF0000, 0xFF00, 0xFF, 0});
    if (m_compression == Rgb && m_bitCount == 16)
        m = {0x7C00, 0x03E0, 0x001F, 0};
    return packChannel(qRed(c), m[0]) | packChannel(qGreen(c), m[1]) | packChannel(qBlue(c), m[2]);
}

int BmpBuilder::nearestEntry(QRgb c) const
{
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < m_palette.size(); ++i) {
        const QRgb p = m_palette[i];
        const int d = std::abs(qRed(p) - qRed(c)) + std::abs(qGreen(p) - qGreen(c)) + std::abs(qBlue(p) - qBlue(c));
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
        }
    }
    return best;
}

QByteArray BmpBuilder::encodeRow(const QImage &image, int y) const
{
    QByteArray row;
    int bitsUsed = 0;
    for (int x = 0; x < m_width; ++x) {
        const QRgb c = image.pixel(x, y);
        if (m_bitCount <= 8) {
            if (bitsUsed % 8 == 0)
                row.append('\0');
            bitsUsed += m_bitCount;
            row[row.size() - 1] = char(row[row.size() - 1] | (nearestEntry(c) << (8 - bitsUsed % 8) % 8));
        } else if (m_bitCount == 24) {
            row.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        } else if (m_bitCount == 16) {
            append16(row, packFields(c));
        } else {
            append32(row, packFields(c));
        }
    }
    while (row.size() % 4 != 0)
        row.append('\0');
    return row;
}

BmpBuilder &BmpBuilder::image(const QImage &image)
{
    m_pixels.clear();
    for (int i = 0; i < m_height; ++i)
        m_pixels += encodeRow(image, m_topDown ? i : m_height - 1 - i);
    return *this;
}

QByteArray BmpBuilder::build() const
{
    const QByteArray info = infoHeader();
    const QByteArray pal = paletteBytes();
    const std::uint32_t offset = m_pixelOffset.value_or(std::uint32_t(14 + info.size() + pal.size()));
    QByteArray file("BM");
    append32(file, std::uint32_t(14 + info.size() + pal.size() + m_pixels.size()));
    append32(file, 0);
    append32(file, offset);
    file += info + pal;
    if (file.size() < qsizetype(offset))
        file.append(QByteArray(qsizetype(offset) - file.size(), '\0'));
    return file + m_pixels;
}

QByteArray make24BitBmp(const QImage &image)
{
    return BmpBuilder(image.width(), image.height()).image(image).build();
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

void putLE16(QByteArray &data, int at, std::uint16_t value)
{
    data[at] = char(value & 0xFF);
    data[at + 1] = char(value >> 8);
}

void putLE32(QByteArray &data, int at, std::uint32_t value)
{
    putLE16(data, at, std::uint16_t(value & 0xFFFF));
    putLE16(data, at + 2, std::uint16_t(value >> 16));
}

} // namespace grelm::test
