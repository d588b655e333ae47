#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

namespace grelm::test {

/// Builds bitmap files of every variant as bytes, for tests and fuzz seeds.
/// Pixels come either from a QImage (encoded uncompressed in the chosen depth)
/// or as a raw pixel array, e.g. a hand-written RLE stream. Fields can be
/// forced to any value, sensible or not.
class BmpBuilder {
public:
    enum class Header { Core = 12, Info = 40, V2 = 52, V3 = 56, V4 = 108, V5 = 124 };
    enum Compression : std::uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, Jpeg = 4, Png = 5, AlphaBitFields = 6 };

    BmpBuilder(std::int32_t width, std::int32_t height, std::uint16_t bitCount = 24);

    BmpBuilder &header(Header kind) { m_header = kind; return *this; }
    BmpBuilder &compression(std::uint32_t c) { m_compression = c; return *this; }
    /// Stores the rows top row first, marked by a negative height.
    BmpBuilder &topDown(bool on = true) { m_topDown = on; return *this; }
    BmpBuilder &palette(std::vector<QRgb> entries) { m_palette = std::move(entries); return *this; }
    /// Red, green, blue and alpha masks, written for bit-field files and V2+ headers.
    BmpBuilder &masks(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a = 0);
    BmpBuilder &planes(std::uint16_t n) { m_planes = n; return *this; }
    BmpBuilder &colorsUsed(std::uint32_t n) { m_colorsUsed = n; return *this; }
    BmpBuilder &pixelOffset(std::uint32_t offset) { m_pixelOffset = offset; return *this; }
    /// The pixel array exactly as it is to be stored.
    BmpBuilder &pixels(QByteArray stored) { m_pixels = std::move(stored); return *this; }
    /// Encodes `image` (of the builder's size) uncompressed in the builder's
    /// depth; indexed depths take each pixel's nearest palette entry.
    BmpBuilder &image(const QImage &image);

    QByteArray build() const;

    /// Where the fields sit in a file with a Windows info header.
    static constexpr int kFileSizeAt = 2, kPixelOffsetAt = 10, kInfoSizeAt = 14, kWidthAt = 18, kHeightAt = 22,
                         kPlanesAt = 26, kBitCountAt = 28, kCompressionAt = 30, kImageSizeAt = 34,
                         kColorsUsedAt = 46;

private:
    QByteArray infoHeader() const;
    QByteArray paletteBytes() const;
    QByteArray encodeRow(const QImage &image, int y) const;
    std::uint32_t packFields(QRgb c) const;
    int nearestEntry(QRgb c) const;
    std::uint32_t colorsUsedValue() const;
    bool writesMasks() const;

    std::int32_t m_width;
    std::int32_t m_height;
    std::uint16_t m_bitCount;
    Header m_header = Header::Info;
    std::uint32_t m_compression = Rgb;
    bool m_topDown = false;
    std::vector<QRgb> m_palette;
    std::optional<std::array<std::uint32_t, 4>> m_masks;
    std::uint16_t m_planes = 1;
    std::optional<std::uint32_t> m_colorsUsed;
    std::optional<std::uint32_t> m_pixelOffset;
    QByteArray m_pixels;
};

/// A 24-bit uncompressed bottom-up bitmap of `image`, as games write them.
QByteArray make24BitBmp(const QImage &image);

/// Bytes from a list of small numbers, for hand-written pixel arrays.
QByteArray bytes(std::initializer_list<int> values);

void putLE16(QByteArray &data, int at, std::uint16_t value);
void putLE32(QByteArray &data, int at, std::uint32_t value);

} // namespace grelm::test
