#include "imaging/bmp_decode.h"

#include <algorithm>
#include <cstring>

namespace grelm {

namespace {

// Spreads an n-bit channel value over 8 bits by repeating its bits, so that
// the largest value becomes 255 (31 -> 255, not 248).
std::uint8_t expandChannel(std::uint32_t value, int bits)
{
    if (bits == 0)
        return 0;
    if (bits >= 8)
        return std::uint8_t(value >> (bits - 8));
    std::uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += bits) {
        const int shift = 8 - bits - filled;
        out |= shift >= 0 ? value << shift : value >> -shift;
    }
    return std::uint8_t(out);
}

// Per-channel lookup of the expanded value for every possible field value of
// at most 8 bits; wider fields are shifted down instead.
struct ChannelTable {
    BmpChannel channel;
    std::uint8_t table[256];

    explicit ChannelTable(const BmpChannel &c) : channel(c)
    {
        for (std::uint32_t v = 0; v < 256; ++v)
            table[v] = expandChannel(v & ((1u << std::min(c.bits, 8)) - 1), std::min(c.bits, 8));
    }
    std::uint8_t operator()(std::uint32_t pixel) const
    {
        const std::uint32_t v = (pixel & channel.mask) >> channel.shift;
        return channel.bits > 8 ? std::uint8_t(v >> (channel.bits - 8)) : table[v];
    }
};

void decodeIndexedRow(const BmpHeader &h, const std::uint8_t *src, std::uint8_t *dst)
{
    const int bits = h.bitCount;
    const int perByte = 8 / bits;
    const unsigned mask = (1u << bits) - 1;
    for (std::int32_t x = 0; x < h.width; ++x) {
        const int slot = int(x % perByte);
        const unsigned index = (src[x / perByte] >> (8 - bits * (slot + 1))) & mask;
        // Entries past the palette repeat entry 0 in the table.
        std::memcpy(dst + 3 * std::size_t(x), &h.palette[3 * std::size_t(index)], 3);
    }
}

void decodeFieldRow(const BmpHeader &h, const ChannelTable (&t)[3], const std::uint8_t *src, std::uint8_t *dst)
{
    const int bytes = h.bitCount / 8;
    for (std::int32_t x = 0; x < h.width; ++x, src += bytes, dst += 3) {
        std::uint32_t pixel = src[0] | (std::uint32_t(src[1]) << 8);
        if (bytes == 4)
            pixel |= (std::uint32_t(src[2]) << 16) | (std::uint32_t(src[3]) << 24);
        dst[0] = t[2](pixel);
        dst[1] = t[1](pixel);
        dst[2] = t[0](pixel);
    }
}

void decode32BgrRow(std::int32_t width, const std::uint8_t *src, std::uint8_t *dst)
{
    for (std::int32_t x = 0; x < width; ++x, src += 4, dst += 3) {
        dst[0] = src[0];
        dst[1] = src[1];
        dst[2] = src[2];
    }
}

} // namespace

const char *decodeBmpPixels(const BmpHeader &h, std::span<const std::uint8_t> data, std::uint8_t *dst)
{
    if (h.encoding == BmpEncoding::Rle8 || h.encoding == BmpEncoding::Rle4)
        return decodeBmpRle(h, data, dst);
    const std::size_t srcStride = std::size_t(h.fileRowBytes());
    const std::size_t dstStride = std::size_t(h.bufferRowBytes());
    if (data.size() / srcStride < std::size_t(h.height))
        return "pixel array shorter than the header says";
    const ChannelTable tables[3] = {ChannelTable(h.channels[0]), ChannelTable(h.channels[1]),
                                    ChannelTable(h.channels[2])};
    const bool plain32 = h.bitCount == 32 && h.channels[0].mask == 0xFF0000 && h.channels[1].mask == 0xFF00
        && h.channels[2].mask == 0xFF;
    const std::size_t pixelBytes = 3 * std::size_t(h.width);
    for (std::int32_t row = 0; row < h.height; ++row) {
        const std::uint8_t *src = data.data() + std::size_t(row) * srcStride;
        std::uint8_t *out = dst + std::size_t(h.topDown ? h.height - 1 - row : row) * dstStride;
        if (h.bitCount == 24)
            std::memcpy(out, src, pixelBytes);
        else if (h.bitCount <= 8)
            decodeIndexedRow(h, src, out);
        else if (plain32)
            decode32BgrRow(h.width, src, out);
        else
            decodeFieldRow(h, tables, src, out);
        std::memset(out + pixelBytes, 0, dstStride - pixelBytes);
    }
    return nullptr;
}

} // namespace grelm
