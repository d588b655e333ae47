#include "imaging/bmp_header.h"

#include "core/pixel_rows.h"

#include <algorithm>
#include <bit>
#include <limits>

namespace grelm {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitFields = 3;
constexpr std::uint32_t kBiAlphaBitFields = 6;
constexpr std::size_t kFileHeaderBytes = 14;

std::uint16_t le16(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::uint16_t(b[at] | (b[at + 1] << 8));
}

std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8) | (std::uint32_t(b[at + 2]) << 16)
        | (std::uint32_t(b[at + 3]) << 24);
}

// The fields common to every info header, widened so that the OS/2 core
// header and the Windows ones can be checked alike.
struct RawInfo {
    std::uint32_t size = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colorsUsed = 0;
    std::array<std::uint32_t, 3> masks{};
    std::size_t paletteStart = 0;
    int paletteEntryBytes = 4;
};

bool knownInfoSize(std::uint32_t size)
{
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

const char *readInfo(std::span<const std::uint8_t> head, RawInfo &info)
{
    if (head.size() < kFileHeaderBytes + 4 || head[0] != 'B' || head[1] != 'M')
        return "not a bitmap file";
    info.size = le32(head, 14);
    if (!knownInfoSize(info.size))
        return "unknown info header size";
    if (head.size() < kFileHeaderBytes + info.size)
        return "truncated info header";
    if (info.size == 12) {
        info.width = le16(head, 18);
        info.height = le16(head, 20);
        info.planes = le16(head, 22);
        info.bitCount = le16(head, 24);
        info.paletteEntryBytes = 3;
        info.paletteStart = kFileHeaderBytes + 12;
        return nullptr;
    }
    info.width = std::int32_t(le32(head, 18));
    info.height = std::int32_t(le32(head, 22));
    info.planes = le16(head, 26);
    info.bitCount = le16(head, 28);
    info.compression = le32(head, 30);
    info.colorsUsed = le32(head, 46);
    info.paletteStart = kFileHeaderBytes + info.size;
    const bool fieldsMasks = info.compression == kBiBitFields || info.compression == kBiAlphaBitFields;
    if (fieldsMasks) {
        // A plain info header is followed by the masks; the later ones hold them.
        if (info.size == 40)
            info.paletteStart += info.compression == kBiAlphaBitFields ? 16 : 12;
        if (head.size() < kFileHeaderBytes + 40 + 12)
            return "truncated bit-field masks";
        info.masks = {le32(head, 54), le32(head, 58), le32(head, 62)};
    }
    return nullptr;
}

const char *checkSize(const RawInfo &info, std::uint64_t maxPixels, BmpHeader &out)
{
    if (info.planes != 1)
        return "planes is not 1";
    if (info.width <= 0 || info.height == 0 || info.height == std::numeric_limits<std::int32_t>::min())
        return "impossible size";
    const std::uint64_t rows = std::uint64_t(info.height < 0 ? -info.height : info.height);
    if (std::uint64_t(info.width) * rows > std::min(maxPixels, kBmpMaxPixels))
        return "image too large";
    out.width = std::int32_t(info.width);
    out.height = std::int32_t(rows);
    out.topDown = info.height < 0;
    return nullptr;
}

const char *checkEncoding(const RawInfo &info, BmpHeader &out)
{
    const int bits = info.bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return "unsupported bit count";
    if (info.size == 12 && (bits == 16 || bits == 32))
        return "unsupported bit count";
    out.bitCount = bits;
    switch (info.compression) {
    case kBiRgb: out.encoding = BmpEncoding::Rgb; break;
    case kBiRle8: out.encoding = BmpEncoding::Rle8; break;
    case kBiRle4: out.encoding = BmpEncoding::Rle4; break;
    case kBiBitFields:
    case kBiAlphaBitFields: out.encoding = BmpEncoding::BitFields; break;
    default: return "unsupported compression";
    }
    if ((out.encoding == BmpEncoding::Rle8 && bits != 8) || (out.encoding == BmpEncoding::Rle4 && bits != 4))
        return "compression does not match bit count";
    if (out.encoding == BmpEncoding::BitFields && bits != 16 && bits != 32)
        return "bit fields need 16 or 32 bits";
    if (out.topDown && (out.encoding == BmpEncoding::Rle8 || out.encoding == BmpEncoding::Rle4))
        return "compressed bitmaps cannot be top-down";
    return nullptr;
}

BmpChannel channelOf(std::uint32_t mask)
{
    BmpChannel c;
    c.mask = mask;
    if (mask != 0) {
        c.shift = std::countr_zero(mask);
        c.bits = std::countr_one(mask >> c.shift);
    }
    return c;
}

const char *setChannels(const RawInfo &info, BmpHeader &out)
{
    std::array<std::uint32_t, 3> masks = info.masks;
    if (out.encoding != BmpEncoding::BitFields) {
        if (out.bitCount == 16)
            masks = {0x7C00, 0x03E0, 0x001F};
        else if (out.bitCount == 32)
            masks = {0xFF0000, 0x00FF00, 0x0000FF};
        else
            return nullptr;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        out.channels[i] = channelOf(masks[i]);
        const BmpChannel &c = out.channels[i];
        if (c.mask != 0 && (c.mask >> c.shift) != (std::uint32_t(-1) >> (32 - c.bits)))
            return "bit-field mask is not contiguous";
    }
    return nullptr;
}

const char *readPalette(std::span<const std::uint8_t> head, const RawInfo &info, BmpHeader &out)
{
    if (out.bitCount > 8)
        return nullptr;
    const std::uint32_t full = 1u << out.bitCount;
    if (info.colorsUsed > full)
        return "palette too big";
    std::uint64_t entries = info.colorsUsed != 0 ? info.colorsUsed : full;
    // A palette that would run into the pixel array is cut short there.
    const std::uint64_t room = (out.pixelOffset - info.paletteStart) / info.paletteEntryBytes;
    entries = std::min(entries, room);
    if (info.paletteStart + entries * info.paletteEntryBytes > head.size())
        return "truncated palette";
    out.paletteSize = int(entries);
    for (int i = 0; i < 256; ++i) {
        const std::size_t from = info.paletteStart + std::size_t(i < out.paletteSize ? i : 0) * info.paletteEntryBytes;
        for (int k = 0; k < 3; ++k)
            out.palette[std::size_t(3 * i + k)] = out.paletteSize > 0 ? head[from + std::size_t(k)] : 0;
    }
    return nullptr;
}

} // namespace

std::uint64_t BmpHeader::fileRowBytes() const
{
    return std::uint64_t(paddedRowBytes(std::int64_t((std::uint64_t(width) * std::uint64_t(bitCount) + 7) / 8)));
}

std::uint64_t BmpHeader::bufferRowBytes() const
{
    return std::uint64_t(paddedRowBytes(std::int64_t(width) * 3));
}

const char *parseBmpHeader(std::span<const std::uint8_t> head, std::uint64_t fileSize, BmpHeader &out,
                           std::uint64_t maxPixels)
{
    out = BmpHeader();
    RawInfo info;
    if (const char *error = readInfo(head, info))
        return error;
    if (const char *error = checkSize(info, maxPixels, out))
        return error;
    if (const char *error = checkEncoding(info, out))
        return error;
    if (const char *error = setChannels(info, out))
        return error;
    out.pixelOffset = le32(head, 10);
    if (out.pixelOffset < info.paletteStart || out.pixelOffset > fileSize)
        return "pixel array offset inside the headers or past the end";
    return readPalette(head, info, out);
}

} // namespace grelm
