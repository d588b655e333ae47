#include "core/user_messages.h"
#include "core/messages.h"
#include "imaging/bmp_reader.h"
#include "imaging/dib_section.h"
#include "support/bmp_builder.h"
#include "support/row_name.h"
#include "support/temp_folder.h"
#include "support/test_picture.h"

#include <gtest/gtest.h>

#include <functional>
#include <span>

namespace grelm {
namespace {

using test::BmpBuilder;
using test::bytes;
using test::putLE16;
using test::putLE32;

struct Malformed {
    const char *name;
    QByteArray file;
};

QByteArray good24()
{
    return test::make24BitBmp(test::gradientImage(4, 3));
}

QByteArray good8()
{
    return BmpBuilder(4, 3, 8).palette({qRgb(1, 2, 3), qRgb(4, 5, 6)}).pixels(QByteArray(12, '\1')).build();
}

QByteArray rle8(QByteArray stream)
{
    return BmpBuilder(4, 2, 8).compression(BmpBuilder::Rle8).palette({qRgb(9, 9, 9)}).pixels(std::move(stream)).build();
}

QByteArray with(QByteArray file, const std::function<void(QByteArray &)> &change)
{
    change(file);
    return file;
}

QByteArray field32(QByteArray file, int at, std::uint32_t value)
{
    return with(std::move(file), [&](QByteArray &f) { putLE32(f, at, value); });
}

QByteArray field16(QByteArray file, int at, std::uint16_t value)
{
    return with(std::move(file), [&](QByteArray &f) { putLE16(f, at, value); });
}

std::vector<Malformed> malformedFiles()
{
    const QByteArray g = good24();
    using B = BmpBuilder;
    return {
        {"empty file", QByteArray()},
        {"not a bitmap", with(g, [](QByteArray &f) { f[0] = 'P'; })},
        {"truncated file header", g.left(10)},
        {"truncated info header", g.left(30)},
        {"unknown info header size", field32(g, B::kInfoSizeAt, 20)},
        {"zero width", field32(g, B::kWidthAt, 0)},
        {"negative width", field32(g, B::kWidthAt, std::uint32_t(-4))},
        {"zero height", field32(g, B::kHeightAt, 0)},
        {"most negative height", field32(g, B::kHeightAt, 0x80000000u)},
        {"over 256 megapixels", field32(field32(g, B::kWidthAt, 20000), B::kHeightAt, 20000)},
        {"negative height past the limit", field32(field32(g, B::kWidthAt, 1), B::kHeightAt, 0x80000001u)},
        {"widest row past the limit", field32(g, B::kWidthAt, 0x7FFFFFFF)},
        {"bit count 0", field16(g, B::kBitCountAt, 0)},
        {"bit count 2", field16(g, B::kBitCountAt, 2)},
        {"bit count 64", field16(g, B::kBitCountAt, 64)},
        {"16 bits in an OS/2 header", BmpBuilder(4, 3, 16).header(B::Header::Core).pixels(QByteArray(24, '\0')).build()},
        {"planes 0", field16(g, B::kPlanesAt, 0)},
        {"planes 2", field16(g, B::kPlanesAt, 2)},
        {"JPEG inside", field32(g, B::kCompressionAt, B::Jpeg)},
        {"PNG inside", field32(g, B::kCompressionAt, B::Png)},
        {"unknown compression", field32(g, B::kCompressionAt, 99)},
        {"RLE8 on 24 bits", field32(g, B::kCompressionAt, B::Rle8)},
        {"RLE4 on 8 bits", field32(good8(), B::kCompressionAt, B::Rle4)},
        {"bit fields on 24 bits", BmpBuilder(4, 3, 24).compression(B::BitFields).masks(0xFF0000, 0xFF00, 0xFF).image(test::gradientImage(4, 3)).build()},
        {"mask with a hole", BmpBuilder(2, 1, 16).compression(B::BitFields).masks(0xF0F0, 0x0F00, 0x000F).pixels(QByteArray(4, '\0')).build()},
        {"palette too big for 8 bits", field32(good8(), B::kColorsUsedAt, 300)},
        {"palette too big for 4 bits", BmpBuilder(2, 1, 4).palette(std::vector<QRgb>(17, 0)).pixels(QByteArray(4, '\0')).build()},
        {"pixel offset past the end", field32(g, B::kPixelOffsetAt, 100000)},
        {"pixel offset inside the header", field32(g, B::kPixelOffsetAt, 20)},
        {"24-bit pixel array one byte short", g.left(g.size() - 1)},
        {"8-bit pixel array one row short", good8().left(good8().size() - 4)},
        {"RLE ends before end of bitmap", rle8(bytes({4, 0, 0, 0}))},
        {"RLE run past the last row", rle8(bytes({0, 0, 0, 0, 2, 0, 0, 1}))},
        {"RLE line ends past the last row", rle8(bytes({0, 0, 0, 0, 0, 0, 0, 1}))},
        {"RLE delta past the last row", rle8(bytes({0, 2, 0, 3, 0, 1}))},
        {"RLE absolute run cut short", rle8(bytes({0, 4, 0, 0}))},
        {"RLE delta cut short", rle8(bytes({0, 2, 1}))},
        {"RLE count without value", rle8(bytes({0, 0, 3}))},
        {"RLE top-down", field32(rle8(bytes({0, 1})), B::kHeightAt, std::uint32_t(-2))},
    };
}

class BmpMalformed : public ::testing::TestWithParam<Malformed> {};

// Refused from memory, without growing the destination for a picture that is
// never decoded when the header alone gives it away.
TEST_P(BmpMalformed, IsRefusedFromMemory)
{
    const QByteArray &file = GetParam().file;
    std::vector<std::uint8_t> pixels;
    const BmpResult r = BmpReader::decode(std::span(reinterpret_cast<const std::uint8_t *>(file.constData()),
                                                    std::size_t(file.size())), pixels);
    EXPECT_FALSE(r);
    EXPECT_LE(pixels.size(), 64u);
}

TEST_P(BmpMalformed, LoadShowsTheMessageAndLeavesAnEmptyBuffer)
{
    test::TempFolder folder;
    RecordingMessageSink messages;
    cDIBSection dib(messages);
    ASSERT_TRUE(dib.Create(8, 8, 3));
    EXPECT_FALSE(dib.Load(folder.written("bad.bmp", GetParam().file)));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0],
              cantLoadBmpMessage());
    EXPECT_EQ(dib.dib_width(), 0);
    EXPECT_EQ(dib.dib_height(), 0);
    EXPECT_EQ(dib.dib_channels(), 0);
    EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Files, BmpMalformed, ::testing::ValuesIn(malformedFiles()), test::rowName<Malformed>);

// Every prefix of a valid file is refused (uncompressed) or handled without a
// read past its end (run-length, whose stream may stop early).
TEST(BmpReader, EveryTruncationOfValidFilesIsHandled)
{
    struct Row { QByteArray file; bool uncompressed; };
    const Row files[] = {{good24(), true}, {good8(), true},
                         {BmpBuilder(3, 2, 16).header(BmpBuilder::Header::V5).image(test::gradientImage(3, 2)).build(), true},
                         {rle8(bytes({2, 0, 0, 3, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1})), false}};
    for (const Row &row : files)
        for (qsizetype n = 0; n < row.file.size(); ++n) {
            // A copy of exactly n bytes, so that a sanitizer sees any read past it.
            std::vector<std::uint8_t> prefix(row.file.begin(), row.file.begin() + n);
            std::vector<std::uint8_t> pixels;
            const BmpResult r = BmpReader::decode(prefix, pixels);
            if (row.uncompressed) {
                EXPECT_FALSE(r) << n;
            }
        }
}

TEST(BmpReader, CallerCanLowerTheSizeLimit)
{
    const QByteArray file = test::make24BitBmp(test::gradientImage(20, 10));
    const std::span data(reinterpret_cast<const std::uint8_t *>(file.constData()), std::size_t(file.size()));
    std::vector<std::uint8_t> pixels;
    EXPECT_FALSE(BmpReader::decode(data, pixels, 199));
    EXPECT_TRUE(pixels.empty());
    EXPECT_TRUE(BmpReader::decode(data, pixels, 200));
}

} // namespace
} // namespace grelm
