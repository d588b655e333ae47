#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace grelm {

/// How the pixel array of a bitmap file is stored.
enum class BmpEncoding { Rgb, Rle8, Rle4, BitFields };

/// One colour channel of a bit-field pixel: where it sits and how wide it is.
struct BmpChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0; ///< 0 when the mask is empty: the channel reads as 0
};

/// What the headers of a bitmap file say, checked for sense.
struct BmpHeader {
    std::int32_t width = 0;
    std::int32_t height = 0;       ///< always positive
    bool topDown = false;          ///< the file's first row is the picture's top row
    int bitCount = 0;              ///< 1, 4, 8, 16, 24 or 32
    BmpEncoding encoding = BmpEncoding::Rgb;
    std::array<BmpChannel, 3> channels{}; ///< red, green, blue; set for 16 and 32 bits
    /// Blue, green, red per entry; entries past paletteSize repeat entry 0.
    std::array<std::uint8_t, 3 * 256> palette{};
    int paletteSize = 0;
    std::uint64_t pixelOffset = 0;  ///< where the pixel array starts in the file

    /// Bytes per stored row of an uncompressed pixel array (rows pad to 4 bytes).
    std::uint64_t fileRowBytes() const;
    /// Bytes per row of the 24-bit bottom-up buffer it decodes into.
    std::uint64_t bufferRowBytes() const;
};

/// The most bytes of the start of a file that parseBmpHeader can need: file
/// header, the largest info header, bit-field masks and a 256-entry palette.
inline constexpr std::size_t kBmpHeaderReadBytes = 14 + 124 + 16 + 256 * 4;

/// Images with more pixels than this are refused before anything is allocated.
inline constexpr std::uint64_t kBmpMaxPixels = 256ull * 1024 * 1024;

/// Parses the headers and palette from `head`, the first bytes of a file of
/// `fileSize` bytes (at least kBmpHeaderReadBytes of them, or the whole file).
/// Pictures of more than `maxPixels` are refused. Returns nullptr on success,
/// otherwise why the file is refused.
const char *parseBmpHeader(std::span<const std::uint8_t> head, std::uint64_t fileSize, BmpHeader &out,
                           std::uint64_t maxPixels = kBmpMaxPixels);

} // namespace grelm
