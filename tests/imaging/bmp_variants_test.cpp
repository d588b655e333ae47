#include "bmp_images.h"

#include "imaging/bmp_reader.h"
#include "support/bmp_builder.h"
#include "support/row_name.h"
#include "support/temp_folder.h"
#include "support/test_picture.h"

#include <gtest/gtest.h>

#include <span>

namespace grelm {
namespace {

using test::BmpBuilder;
using test::bytes;

const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255), kWhite = qRgb(255, 255, 255);

std::vector<QRgb> colours(int n)
{
    std::vector<QRgb> p;
    for (int i = 0; i < n; ++i)
        p.push_back(qRgb((i * 53) % 256, (i * 101 + 7) % 256, (255 - i * 29) % 256));
    return p;
}

QImage rows(std::initializer_list<std::initializer_list<QRgb>> topFirst)
{
    QImage image(int(topFirst.begin()->size()), int(topFirst.size()), QImage::Format_RGB32);
    int y = 0;
    for (const auto &row : topFirst) {
        int x = 0;
        for (QRgb c : row)
            image.setPixel(x++, y, c);
        ++y;
    }
    return image;
}

struct Variant {
    const char *name;
    QByteArray file;
    QImage expected;
};

std::vector<Variant> uncompressedVariants()
{
    const QImage g = test::gradientImage(5, 4);
    const QImage wide = test::gradientImage(10, 3);
    const auto p7 = colours(7), p16 = colours(16), p2 = std::vector<QRgb>{qRgb(10, 20, 30), qRgb(200, 190, 180)};
    BmpBuilder b16(5, 4, 16), b32(5, 4, 32);
    return {
        {"24-bit", test::make24BitBmp(g), g},
        {"24-bit top-down", BmpBuilder(5, 4).topDown().image(g).build(), g},
        {"24-bit OS/2 core header", BmpBuilder(5, 4).header(BmpBuilder::Header::Core).image(g).build(), g},
        {"24-bit V4 header", BmpBuilder(5, 4).header(BmpBuilder::Header::V4).image(g).build(), g},
        {"24-bit V5 header", BmpBuilder(5, 4).header(BmpBuilder::Header::V5).image(g).build(), g},
        {"24-bit gap before the pixels", BmpBuilder(5, 4).pixelOffset(300).image(g).build(), g},
        {"32-bit", BmpBuilder(b32).image(g).build(), g},
        {"32-bit top-down", BmpBuilder(b32).topDown().image(g).build(), g},
        {"32-bit masks, blue high", BmpBuilder(b32).compression(BmpBuilder::BitFields).masks(0xFF, 0xFF00, 0xFF0000).image(g).build(), g},
        {"32-bit 10-10-10 V5", BmpBuilder(b32).header(BmpBuilder::Header::V5).compression(BmpBuilder::BitFields)
             .masks(0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000).image(g).build(), g},
        {"16-bit 5-5-5", BmpBuilder(b16).image(g).build(), test::quantised(g, 5, 5, 5)},
        {"16-bit 5-5-5 top-down", BmpBuilder(b16).topDown().image(g).build(), test::quantised(g, 5, 5, 5)},
        {"16-bit 5-6-5 masks", BmpBuilder(b16).compression(BmpBuilder::BitFields).masks(0xF800, 0x7E0, 0x1F).image(g).build(),
         test::quantised(g, 5, 6, 5)},
        {"16-bit 5-6-5 V2 header", BmpBuilder(b16).header(BmpBuilder::Header::V2).compression(BmpBuilder::BitFields)
             .masks(0xF800, 0x7E0, 0x1F).image(g).build(), test::quantised(g, 5, 6, 5)},
        {"16-bit 5-6-5 V3 header", BmpBuilder(b16).header(BmpBuilder::Header::V3).compression(BmpBuilder::BitFields)
             .masks(0xF800, 0x7E0, 0x1F).image(g).build(), test::quantised(g, 5, 6, 5)},
        {"16-bit 5-6-5 V4 top-down", BmpBuilder(b16).header(BmpBuilder::Header::V4).compression(BmpBuilder::BitFields)
             .masks(0xF800, 0x7E0, 0x1F).topDown().image(g).build(), test::quantised(g, 5, 6, 5)},
        {"16-bit 4-4-4-4 alpha masks", BmpBuilder(b16).compression(BmpBuilder::AlphaBitFields)
             .masks(0xF00, 0xF0, 0xF, 0xF000).image(g).build(), test::quantised(g, 4, 4, 4)},
        {"16-bit V5 with BI_RGB ignores its masks", BmpBuilder(b16).header(BmpBuilder::Header::V5)
             .masks(0xF800, 0x7E0, 0x1F).image(g).build(), test::quantised(g, 5, 5, 5)},
        {"8-bit 7 colours", BmpBuilder(5, 4, 8).palette(p7).image(test::paletteImage(5, 4, p7)).build(), test::paletteImage(5, 4, p7)},
        {"8-bit top-down", BmpBuilder(5, 4, 8).palette(p7).topDown().image(test::paletteImage(5, 4, p7)).build(),
         test::paletteImage(5, 4, p7)},
        {"8-bit OS/2 core header", BmpBuilder(5, 4, 8).header(BmpBuilder::Header::Core).palette(colours(256))
             .image(test::paletteImage(5, 4, p7)).build(), test::paletteImage(5, 4, p7)},
        {"4-bit", BmpBuilder(5, 4, 4).palette(p16).image(test::paletteImage(5, 4, p16)).build(), test::paletteImage(5, 4, p16)},
        {"4-bit top-down V4", BmpBuilder(5, 4, 4).header(BmpBuilder::Header::V4).palette(p16).topDown()
             .image(test::paletteImage(5, 4, p16)).build(), test::paletteImage(5, 4, p16)},
        {"1-bit across bytes", BmpBuilder(10, 3, 1).palette(p2).image(test::paletteImage(10, 3, p2)).build(),
         test::paletteImage(10, 3, p2)},
        {"1-bit OS/2 core header", BmpBuilder(10, 3, 1).header(BmpBuilder::Header::Core).palette(p2)
             .image(test::paletteImage(10, 3, p2)).build(), test::paletteImage(10, 3, p2)},
        {"index past the palette takes entry 0", BmpBuilder(4, 1, 8).palette({kRed, kGreen}).pixels(bytes({1, 5, 0, 255})).build(),
         rows({{kGreen, kRed, kRed, kRed}})},
    };
}

std::vector<Variant> rleVariants()
{
    const std::vector<QRgb> p = {kRed, kGreen, kBlue, kWhite};
    return {
        {"RLE8 runs, absolute run, delta",
         BmpBuilder(4, 3, 8).compression(BmpBuilder::Rle8).palette(p)
             .pixels(bytes({3, 1, 0, 0, /**/ 0, 3, 2, 3, 1, 0, 1, 2, 0, 0, /**/ 0, 2, 2, 0, 2, 3, 0, 1})).build(),
         rows({{kRed, kRed, kWhite, kWhite}, {kBlue, kWhite, kGreen, kBlue}, {kGreen, kGreen, kGreen, kRed}})},
        {"RLE8 skipped rows and pixels take entry 0, long run clipped",
         BmpBuilder(3, 3, 8).compression(BmpBuilder::Rle8).palette(p)
             .pixels(bytes({1, 2, 0, 2, 1, 1, 1, 3, 0, 0, 5, 1, 0, 1})).build(),
         rows({{kGreen, kGreen, kGreen}, {kRed, kRed, kWhite}, {kBlue, kRed, kRed}})},
        {"RLE8 without end of bitmap after the last row",
         BmpBuilder(2, 1, 8).compression(BmpBuilder::Rle8).palette(p).pixels(bytes({2, 3, 0, 0})).build(),
         rows({{kWhite, kWhite}})},
        {"RLE8 index past the palette takes entry 0",
         BmpBuilder(2, 1, 8).compression(BmpBuilder::Rle8).palette(p).pixels(bytes({1, 200, 1, 3, 0, 1})).build(),
         rows({{kRed, kWhite}})},
        {"RLE4 runs and absolute run",
         BmpBuilder(3, 2, 4).compression(BmpBuilder::Rle4).palette(p)
             .pixels(bytes({3, 0x12, 0, 0, /**/ 0, 3, 0x31, 0x20, 0, 1})).build(),
         rows({{kWhite, kGreen, kBlue}, {kGreen, kBlue, kGreen}})},
        {"RLE4 odd absolute run keeps 16-bit alignment",
         BmpBuilder(5, 2, 4).compression(BmpBuilder::Rle4).palette(p)
             .pixels(bytes({0, 5, 0x12, 0x31, 0x20, 0, 0, 0, /**/ 2, 0x33, 0, 1})).build(),
         rows({{kWhite, kWhite, kRed, kRed, kRed}, {kGreen, kBlue, kWhite, kGreen, kBlue}})},
    };
}

class BmpVariants : public ::testing::TestWithParam<Variant> {};

// Each variant gives the same picture from memory and from a file.
TEST_P(BmpVariants, DecodeToTheExpectedPicture)
{
    const Variant &v = GetParam();
    std::vector<std::uint8_t> pixels;
    const auto *data = reinterpret_cast<const std::uint8_t *>(v.file.constData());
    const BmpResult fromMemory = BmpReader::decode(std::span(data, std::size_t(v.file.size())), pixels);
    ASSERT_TRUE(fromMemory) << fromMemory.error;
    EXPECT_EQ(test::firstDifference(test::bufferImage(pixels, fromMemory), v.expected), "");

    test::TempFolder folder;
    std::vector<std::uint8_t> filePixels(7, 0xAB);
    const BmpResult fromFile = BmpReader::load(FilePath::fromEscapedText(folder.write("v.bmp", v.file)), filePixels);
    ASSERT_TRUE(fromFile) << fromFile.error;
    filePixels.resize(pixels.size());
    EXPECT_EQ(filePixels, pixels); // padding included
}

INSTANTIATE_TEST_SUITE_P(Uncompressed, BmpVariants, ::testing::ValuesIn(uncompressedVariants()), test::rowName<Variant>);
INSTANTIATE_TEST_SUITE_P(RunLength, BmpVariants, ::testing::ValuesIn(rleVariants()), test::rowName<Variant>);

// Windows opens files whose size fields are wrong and that carry extra bytes.
TEST(BmpReader, IgnoresSizeFieldsReservedFieldsAndTrailingBytes)
{
    const QImage g = test::gradientImage(6, 5);
    QByteArray file = test::make24BitBmp(g);
    test::putLE32(file, BmpBuilder::kFileSizeAt, 12);
    test::putLE32(file, 6, 0xDEADBEEF);
    test::putLE32(file, BmpBuilder::kImageSizeAt, 7);
    file += QByteArray(333, 'z');
    std::vector<std::uint8_t> pixels;
    const BmpResult r = BmpReader::decode(std::span(reinterpret_cast<const std::uint8_t *>(file.constData()),
                                                    std::size_t(file.size())), pixels);
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(test::firstDifference(test::bufferImage(pixels, r), g), "");
}

// Five- and six-bit channels reach full brightness: 31 gives 255, not 248.
TEST(BmpReader, SixteenBitWhiteIsFullWhite)
{
    const QByteArray file = BmpBuilder(2, 1, 16).pixels(bytes({0xFF, 0x7F, 0x10, 0x42, 0, 0, 0, 0})).build();
    std::vector<std::uint8_t> pixels;
    const BmpResult r = BmpReader::decode(std::span(reinterpret_cast<const std::uint8_t *>(file.constData()),
                                                    std::size_t(file.size())), pixels);
    ASSERT_TRUE(r) << r.error;
    const QImage image = test::bufferImage(pixels, r);
    EXPECT_EQ(image.pixel(0, 0), kWhite);
    EXPECT_EQ(image.pixel(1, 0), qRgb(0x84, 0x84, 0x84)); // 16 of 31 in each channel
}

} // namespace
} // namespace grelm
