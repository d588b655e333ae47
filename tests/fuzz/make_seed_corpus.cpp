// Writes the fuzzers' seed corpus: one small bitmap file of every variant the
// bitmap reader accepts, and a few setting files. Usage: make_seed_corpus <folder>
// (makes <folder>/bmp and <folder>/setting).

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

void put16(Bytes &b, std::uint32_t v)
{
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}

void put32(Bytes &b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

/// What a bitmap's header says; the builder lays out the bytes.
struct Variant {
    std::string name;
    std::uint32_t headerSize = 40; // 12 core, 40 info, 52/56 v2/v3, 64 OS/2 2.x, 108 v4, 124 v5
    std::int32_t width = 3;
    std::int32_t height = 2;       // negative: top-down
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0; // 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields
    std::uint32_t paletteSize = 0; // entries written
    std::uint32_t clrUsed = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};
    bool masksAfterHeader = false; // 40-byte header with BI_BITFIELDS: three masks follow it
    Bytes pixels;                  // ready-made pixel array; empty: a pattern is made
};

std::int32_t rowBytes(const Variant &v)
{
    return ((v.width * v.bitCount + 31) / 32) * 4;
}

Bytes patternPixels(const Variant &v)
{
    const std::int32_t rows = v.height < 0 ? -v.height : v.height;
    Bytes px(static_cast<std::size_t>(rowBytes(v) * rows));
    const std::uint32_t colours = v.paletteSize ? v.paletteSize : 256;
    for (std::size_t i = 0; i < px.size(); ++i) {
        if (v.bitCount == 8)
            px[i] = static_cast<std::uint8_t>(i % colours);
        else if (v.bitCount == 4)
            px[i] = static_cast<std::uint8_t>((i % colours) << 4 | ((i + 1) % colours));
        else
            px[i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    return px;
}

void putInfoFields(Bytes &b, const Variant &v, std::uint32_t imageSize)
{
    put32(b, static_cast<std::uint32_t>(v.width));
    put32(b, static_cast<std::uint32_t>(v.height));
    put16(b, 1);
    put16(b, v.bitCount);
    put32(b, v.compression);
    put32(b, imageSize);
    put32(b, 2835);
    put32(b, 2835);
    // A palette shorter than the depth allows must be announced.
    const bool shortPalette = v.paletteSize && v.paletteSize < (1u << v.bitCount);
    put32(b, v.clrUsed ? v.clrUsed : shortPalette ? v.paletteSize : 0);
    put32(b, 0);
}

Bytes header(const Variant &v, std::uint32_t imageSize)
{
    Bytes h;
    put32(h, v.headerSize);
    if (v.headerSize == 12) {
        put16(h, static_cast<std::uint32_t>(v.width));
        put16(h, static_cast<std::uint32_t>(v.height));
        put16(h, 1);
        put16(h, v.bitCount);
        return h;
    }
    putInfoFields(h, v, imageSize);
    if (v.headerSize >= 52 && v.headerSize != 64) {
        for (int i = 0; i < 4 && h.size() < v.headerSize; ++i)
            put32(h, v.masks[i]);
        if (v.headerSize >= 108)
            put32(h, 0x73524742); // 'sRGB'
    }
    h.resize(v.headerSize, 0);
    if (v.headerSize == 124)
        h[108] = 4; // intent: perceptual
    return h;
}

Bytes build(const Variant &v)
{
    const Bytes px = v.pixels.empty() ? patternPixels(v) : v.pixels;
    Bytes body = header(v, v.compression == 1 || v.compression == 2 ? px.size() : 0);
    if (v.masksAfterHeader)
        for (int i = 0; i < 3; ++i)
            put32(body, v.masks[i]);
    const std::size_t entry = v.headerSize == 12 ? 3 : 4;
    for (std::uint32_t i = 0; i < v.paletteSize; ++i) {
        body.push_back(static_cast<std::uint8_t>(i * 50));
        body.push_back(static_cast<std::uint8_t>(255 - i * 30));
        body.push_back(static_cast<std::uint8_t>(i * 90 + 7));
        if (entry == 4)
            body.push_back(0);
    }
    Bytes file;
    file.push_back('B');
    file.push_back('M');
    put32(file, static_cast<std::uint32_t>(14 + body.size() + px.size()));
    put32(file, 0);
    put32(file, static_cast<std::uint32_t>(14 + body.size()));
    file.insert(file.end(), body.begin(), body.end());
    file.insert(file.end(), px.begin(), px.end());
    return file;
}

// 4 x 3 RLE8: encoded runs, an absolute run, a delta, end of line, end of bitmap.
Bytes rle8Pixels()
{
    return {4, 1, 0, 0,                    // row 0: four pixels of index 1, end of line
            0, 3, 4, 5, 6, 0, 1, 7, 0, 0,  // row 1: absolute run of 3 (word-padded), one pixel, end of line
            0, 2, 1, 0, 2, 3, 0, 1};       // row 2: skip one pixel, two pixels, end of bitmap
}

// 5 x 2 RLE4: runs of alternating nibbles, an absolute run, end of line, end of bitmap.
Bytes rle4Pixels()
{
    return {5, 0x12, 0, 0,
            0, 5, 0x34, 0x56, 0x70, 0, 0, 0,
            0, 1};
}

std::vector<Variant> variants()
{
    std::vector<Variant> out;
    auto add = [&](Variant v) { out.push_back(std::move(v)); };
    add({.name = "core_1bit", .headerSize = 12, .width = 9, .height = 2, .bitCount = 1, .paletteSize = 2});
    add({.name = "core_4bit", .headerSize = 12, .width = 5, .height = 3, .bitCount = 4, .paletteSize = 16});
    add({.name = "core_8bit", .headerSize = 12, .width = 3, .height = 2, .bitCount = 8, .paletteSize = 256});
    add({.name = "core_24bit", .headerSize = 12, .width = 3, .height = 2, .bitCount = 24});
    add({.name = "info_1bit", .width = 17, .height = 3, .bitCount = 1, .paletteSize = 2});
    add({.name = "info_4bit", .width = 7, .height = 2, .bitCount = 4, .paletteSize = 16});
    add({.name = "info_4bit_clrused", .width = 7, .height = 2, .bitCount = 4, .paletteSize = 3, .clrUsed = 3});
    add({.name = "info_8bit", .width = 3, .height = 3, .bitCount = 8, .paletteSize = 6, .clrUsed = 6});
    add({.name = "info_8bit_topdown", .width = 3, .height = -3, .bitCount = 8, .paletteSize = 6, .clrUsed = 6});
    add({.name = "info_16bit_555", .width = 3, .height = 2, .bitCount = 16});
    add({.name = "info_16bit_565", .width = 3, .height = 2, .bitCount = 16, .compression = 3,
         .masks = {0xF800, 0x07E0, 0x001F, 0}, .masksAfterHeader = true});
    add({.name = "info_24bit", .width = 3, .height = 2, .bitCount = 24});
    add({.name = "info_24bit_topdown", .width = 5, .height = -2, .bitCount = 24});
    add({.name = "info_24bit_1x1", .width = 1, .height = 1, .bitCount = 24});
    add({.name = "info_32bit", .width = 2, .height = 2, .bitCount = 32});
    add({.name = "info_32bit_fields", .width = 2, .height = 2, .bitCount = 32, .compression = 3,
         .masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0}, .masksAfterHeader = true});
    add({.name = "info_32bit_fields_odd", .width = 2, .height = 2, .bitCount = 32, .compression = 3,
         .masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0}, .masksAfterHeader = true});
    add({.name = "info_rle8", .width = 4, .height = 3, .bitCount = 8, .compression = 1, .paletteSize = 8,
         .pixels = rle8Pixels()});
    add({.name = "info_rle4", .width = 5, .height = 2, .bitCount = 4, .compression = 2, .paletteSize = 8,
         .pixels = rle4Pixels()});
    add({.name = "v2_16bit_565", .headerSize = 52, .width = 3, .height = 2, .bitCount = 16, .compression = 3,
         .masks = {0xF800, 0x07E0, 0x001F, 0}});
    add({.name = "v3_32bit_alpha", .headerSize = 56, .width = 2, .height = 2, .bitCount = 32, .compression = 3,
         .masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}});
    add({.name = "os2v2_24bit", .headerSize = 64, .width = 3, .height = 2, .bitCount = 24});
    add({.name = "v4_16bit_565", .headerSize = 108, .width = 3, .height = 2, .bitCount = 16, .compression = 3,
         .masks = {0xF800, 0x07E0, 0x001F, 0}});
    add({.name = "v4_8bit", .headerSize = 108, .width = 3, .height = 2, .bitCount = 8, .paletteSize = 4});
    add({.name = "v5_32bit_fields", .headerSize = 124, .width = 2, .height = -2, .bitCount = 32, .compression = 3,
         .masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}});
    add({.name = "v5_24bit", .headerSize = 124, .width = 3, .height = 2, .bitCount = 24});
    add({.name = "v5_rle8_topdown_refused", .headerSize = 124, .width = 4, .height = -3, .bitCount = 8,
         .compression = 1, .paletteSize = 8, .pixels = rle8Pixels()});
    return out;
}

void writeFile(const fs::path &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

void writeSettingSeeds(const fs::path &folder)
{
    const std::vector<std::pair<std::string, std::string>> seeds = {
        {"quoted_crlf", "\"C:\\SIERRA\\Half-Life\"\r\n"},
        {"two_lines", "\"/old/folder\"\r\n\"/games/Half-Life\"\r\n"},
        {"lf_only", "\"/games/Half-Life\"\n"},
        {"cr_only", "\"/a\"\r\"/b\"\r"},
        {"unquoted", "D:\\Games\\Half-Life"},
        {"prefix", "x\"C:\\A\""},
        {"empty_quotes", "\"\"\r\n"},
        {"one_quote", "\"\r\n"},
        {"trailing_blank", "\"/a\"\r\n\r\n"},
        {"utf8", "\"/home/joueur/Jeux vidéo/Half-Life\"\r\n"},
        {"empty", ""},
    };
    for (const auto &[name, text] : seeds)
        writeFile(folder / name, Bytes(text.begin(), text.end()));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_seed_corpus <folder>\n";
        return 2;
    }
    const fs::path root = argv[1];
    fs::create_directories(root / "bmp");
    fs::create_directories(root / "setting");
    for (const Variant &v : variants())
        writeFile(root / "bmp" / (v.name + ".bmp"), build(v));
    writeSettingSeeds(root / "setting");
    return 0;
}
