#include "jpeg_check.h"

#include "imaging/ijl.h"
#include "imaging/jpeg_encoder.h"
#include "support/test_picture.h"

#include <turbojpeg.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace grelm {
namespace {

constexpr int kWidth = 6, kHeight = 8, kStride = 20; // 18 bytes of pixels, 2 of padding
const QRgb kTop = qRgb(230, 40, 30), kBottom = qRgb(20, 50, 210);

// Blue-green-red rows, the top half red and the bottom half blue, stored in
// the given row order.
std::vector<std::uint8_t> halves(bool bottomUp)
{
    std::vector<std::uint8_t> pixels(kStride * kHeight, 0);
    for (int row = 0; row < kHeight; ++row) {
        const bool topHalf = (bottomUp ? kHeight - 1 - row : row) < kHeight / 2;
        const QRgb c = topHalf ? kTop : kBottom;
        for (int x = 0; x < kWidth; ++x) {
            pixels[std::size_t(row * kStride + 3 * x)] = std::uint8_t(qBlue(c));
            pixels[std::size_t(row * kStride + 3 * x + 1)] = std::uint8_t(qGreen(c));
            pixels[std::size_t(row * kStride + 3 * x + 2)] = std::uint8_t(qRed(c));
        }
    }
    return pixels;
}

void describe(JPEG_CORE_PROPERTIES &p, const std::vector<std::uint8_t> &pixels, bool bottomUp)
{
    ASSERT_EQ(ijlInit(&p), IJL_OK);
    p.DIBBytes = pixels.data();
    p.DIBWidth = kWidth;
    p.DIBHeight = bottomUp ? -kHeight : kHeight;
    p.DIBPadBytes = 2;
    p.JPGWidth = kWidth;
    p.JPGHeight = kHeight;
}

QByteArray memoryJpeg(const JPEG_CORE_PROPERTIES &p)
{
    return QByteArray(reinterpret_cast<const char *>(p.JPGBytes), qsizetype(p.JPGSizeBytes));
}

// The negative height marks a bottom-up source; either way the JPEG is upright.
TEST(IJL, WritesUprightJpegToMemoryFromEitherRowOrder)
{
    for (const bool bottomUp : {true, false}) {
        const auto pixels = halves(bottomUp);
        JPEG_CORE_PROPERTIES p;
        describe(p, pixels, bottomUp);
        ASSERT_EQ(ijlWrite(&p, IJL_JBUFF_WRITEWHOLEIMAGE), IJL_OK);
        const test::DecodedJpeg jpeg = test::decodeJpeg(memoryJpeg(p));
        ASSERT_TRUE(jpeg.ok);
        EXPECT_EQ(QSize(jpeg.width, jpeg.height), QSize(kWidth, kHeight));
        EXPECT_TRUE(test::nearColour(jpeg.image.pixel(2, 0), kTop, 11)) << bottomUp;
        EXPECT_TRUE(test::nearColour(jpeg.image.pixel(2, kHeight - 1), kBottom, 11)) << bottomUp;
        EXPECT_EQ(ijlFree(&p), IJL_OK);
        EXPECT_EQ(p.JPGBytes, nullptr);
    }
}

TEST(IJL, SubsamplingCodesAndGrey)
{
    struct Row { IJL_COLOR color; std::int32_t channels; IJL_JPGSUBSAMPLING code; int tjSamp; int components; };
    const Row rows[] = {{IJL_YCBCR, 3, IJL_411, TJSAMP_420, 3}, {IJL_YCBCR, 3, IJL_NONE, TJSAMP_444, 3},
                        {IJL_YCBCR, 3, IJL_422, TJSAMP_422, 3}, {IJL_G, 1, IJL_411, TJSAMP_GRAY, 1}};
    const auto pixels = halves(true);
    for (const Row &r : rows) {
        JPEG_CORE_PROPERTIES p;
        describe(p, pixels, true);
        p.JPGColor = r.color;
        p.JPGChannels = r.channels;
        p.JPGSubSampling = r.code;
        ASSERT_EQ(ijlWrite(&p, IJL_JBUFF_WRITEWHOLEIMAGE), IJL_OK);
        const test::DecodedJpeg jpeg = test::decodeJpeg(memoryJpeg(p));
        EXPECT_EQ(jpeg.subsampling, r.tjSamp);
        EXPECT_EQ(jpeg.components, r.components);
        ijlFree(&p);
    }
}

TEST(IJL, RefusesRecordsItCannotEncode)
{
    struct Row { const char *what; std::function<void(JPEG_CORE_PROPERTIES &)> change; IJLIOTYPE io; IJLERR status; };
    const Row rows[] = {
        {"unknown I/O code", [](auto &) {}, IJLIOTYPE(3), IJL_UNSUPPORTED_IO},
        {"no pixels", [](auto &p) { p.DIBBytes = nullptr; }, IJL_JBUFF_WRITEWHOLEIMAGE, IJL_INVALID_SOURCE},
        {"zero width", [](auto &p) { p.DIBWidth = 0; }, IJL_JBUFF_WRITEWHOLEIMAGE, IJL_INVALID_SOURCE},
        {"zero height", [](auto &p) { p.DIBHeight = 0; }, IJL_JBUFF_WRITEWHOLEIMAGE, IJL_INVALID_SOURCE},
        {"two channels", [](auto &p) { p.DIBChannels = 2; }, IJL_JBUFF_WRITEWHOLEIMAGE, IJL_INVALID_SOURCE},
        {"source in YCbCr", [](auto &p) { p.DIBColor = IJL_YCBCR; }, IJL_JBUFF_WRITEWHOLEIMAGE, IJL_INVALID_SOURCE},
        {"negative padding", [](auto &p) { p.DIBPadBytes = -1; }, IJL_JBUFF_WRITEWHOLEIMAGE, IJL_INVALID_SOURCE},
        {"JPEG width differs", [](auto &p) { p.JPGWidth = 5; }, IJL_JBUFF_WRITEWHOLEIMAGE, IJL_INVALID_JPEG_PARAMS},
        {"JPEG height differs", [](auto &p) { p.JPGHeight = 9; }, IJL_JBUFF_WRITEWHOLEIMAGE, IJL_INVALID_JPEG_PARAMS},
        {"four-component JPEG", [](auto &p) { p.JPGColor = IJL_YCBCRA_FPX; p.JPGChannels = 4; },
         IJL_JBUFF_WRITEWHOLEIMAGE, IJL_INVALID_JPEG_PARAMS},
        {"quality 0", [](auto &p) { p.jquality = 0; }, IJL_JBUFF_WRITEWHOLEIMAGE, IJL_INVALID_JPEG_PARAMS},
        {"quality 101", [](auto &p) { p.jquality = 101; }, IJL_JBUFF_WRITEWHOLEIMAGE, IJL_INVALID_JPEG_PARAMS},
        {"no file name", [](auto &p) { p.JPGFile = nullptr; }, IJL_JFILE_WRITEWHOLEIMAGE, IJL_INVALID_FILENAME},
        {"empty file name", [](auto &p) { p.JPGFile = ""; }, IJL_JFILE_WRITEWHOLEIMAGE, IJL_INVALID_FILENAME},
    };
    const auto pixels = halves(true);
    for (const Row &r : rows) {
        JPEG_CORE_PROPERTIES p;
        describe(p, pixels, true);
        r.change(p);
        EXPECT_EQ(ijlWrite(&p, r.io), r.status) << r.what;
        EXPECT_EQ(p.JPGSizeBytes, 0u) << r.what;
        EXPECT_STRNE(ijlErrorStr(r.status), ijlErrorStr(IJL_OK));
        ijlFree(&p);
    }
}

TEST(IJL, NeedsAnInitialisedRecord)
{
    const auto pixels = halves(true);
    EXPECT_EQ(ijlInit(nullptr), IJL_INVALID_POINTER);
    EXPECT_EQ(ijlWrite(nullptr, IJL_JBUFF_WRITEWHOLEIMAGE), IJL_INVALID_POINTER);
    JPEG_CORE_PROPERTIES fresh;
    EXPECT_EQ(ijlWrite(&fresh, IJL_JBUFF_WRITEWHOLEIMAGE), IJL_NOT_INITIALISED);
    JPEG_CORE_PROPERTIES p;
    describe(p, pixels, true);
    ijlFree(&p);
    EXPECT_EQ(ijlWrite(&p, IJL_JBUFF_WRITEWHOLEIMAGE), IJL_NOT_INITIALISED);
}

// A lent encoder carries its compressor and buffer from one record to the next.
TEST(IJL, LentEncoderIsReusedAcrossRecords)
{
    JpegEncoder encoder;
    const auto pixels = halves(true);
    const std::uint8_t *firstOutput = nullptr;
    for (int i = 0; i < 3; ++i) {
        JPEG_CORE_PROPERTIES p;
        describe(p, pixels, true);
        p.encoder = &encoder;
        ASSERT_EQ(ijlWrite(&p, IJL_JBUFF_WRITEWHOLEIMAGE), IJL_OK);
        EXPECT_EQ(p.JPGBytes, encoder.output().data());
        EXPECT_EQ(p.ownEncoder, nullptr);
        if (i == 0)
            firstOutput = p.JPGBytes;
        EXPECT_EQ(p.JPGBytes, firstOutput); // the same buffer, not a new one
        ijlFree(&p);
    }
    EXPECT_TRUE(test::decodeJpeg(QByteArray(reinterpret_cast<const char *>(encoder.output().data()),
                                            qsizetype(encoder.output().size()))).ok);
}

} // namespace
} // namespace grelm
