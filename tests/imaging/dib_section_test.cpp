#include "core/user_messages.h"
#include "bmp_images.h"

#include "core/errors.h"
#include "core/messages.h"
#include "imaging/dib_section.h"
#include "support/bmp_builder.h"
#include "support/test_picture.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace grelm {
namespace {

using test::TempFolder;

const Message kCantLoad = cantLoadBmpMessage();

void expectEmpty(cDIBSection &dib)
{
    EXPECT_EQ(dib.dib_width(), 0);
    EXPECT_EQ(dib.dib_height(), 0);
    EXPECT_EQ(dib.dib_channels(), 0);
    EXPECT_EQ(dib.DIBSectionBitsPtr(), nullptr);
    EXPECT_EQ(dib.hDib(), nullptr);
    EXPECT_TRUE(dib.hdc().isNull());
}

TEST(cDIBSection, StartsEmpty)
{
    RecordingMessageSink messages;
    cDIBSection dib(messages);
    expectEmpty(dib);
}

TEST(cDIBSection, CreateChoosesDepthByChannelCount)
{
    struct Row { std::int32_t channels, expectChannels, stride; QImage::Format format; };
    const Row rows[] = {{3, 3, 12, QImage::Format_BGR888}, {1, 4, 12, QImage::Format_RGB32},
                        {4, 4, 12, QImage::Format_RGB32}, {0, 4, 12, QImage::Format_RGB32}};
    for (const Row &r : rows) {
        RecordingMessageSink messages;
        cDIBSection dib(messages);
        ASSERT_TRUE(dib.Create(3, 5, r.channels));
        EXPECT_EQ(dib.dib_channels(), r.expectChannels);
        EXPECT_EQ(dib.dib_width(), 3);
        EXPECT_EQ(dib.dib_height(), 5);
        EXPECT_EQ(dib.BytesPerScanLine(), r.stride);
        const QImage surface = dib.hdc();
        EXPECT_EQ(surface.format(), r.format);
        EXPECT_EQ(surface.size(), QSize(3, 5));
        EXPECT_EQ(surface.constBits(), dib.DIBSectionBitsPtr()); // a view, not a copy
        EXPECT_EQ(surface.pixel(1, 1), qRgb(0, 0, 0));
    }
}

TEST(cDIBSection, CreateRefusesUnusableSizes)
{
    RecordingMessageSink messages;
    cDIBSection dib(messages);
    EXPECT_FALSE(dib.Create(0, 5, 3));
    expectEmpty(dib);
    EXPECT_FALSE(dib.Create(20000, 20000, 3)); // 400 megapixels
    expectEmpty(dib);
    EXPECT_THROW(dib.Create(0x40000000, 4, 4), OverflowError);
    EXPECT_THROW(dib.Create(30000, 30000, 4), OverflowError);
}

// Three pixels of 3 bytes and 3 bytes of padding per row, bottom row first.
TEST(cDIBSection, LoadsA24BitBitmapBottomUpWithPaddedRows)
{
    TempFolder folder;
    RecordingMessageSink messages;
    cDIBSection dib(messages);
    const QImage source = test::gradientImage(3, 4);
    ASSERT_TRUE(dib.Load(folder.written("s.bmp", test::make24BitBmp(source))));
    EXPECT_EQ(dib.dib_width(), 3);
    EXPECT_EQ(dib.dib_height(), 4);
    EXPECT_EQ(dib.dib_channels(), 3);
    EXPECT_EQ(dib.BytesPerScanLine(), 12);
    const std::uint8_t *bits = dib.DIBSectionBitsPtr();
    EXPECT_EQ(test::firstDifference(test::bufferImage(bits, 3, 4, 12, 3), source), "");
    EXPECT_EQ(bits[9] | bits[10] | bits[11], 0); // padding
    EXPECT_TRUE(messages.messages.empty());
}

TEST(cDIBSection, FailedLoadShowsMessageAndEmptiesTheBuffer)
{
    TempFolder folder;
    RecordingMessageSink messages;
    cDIBSection dib(messages);
    ASSERT_TRUE(dib.Load(folder.written("good.bmp", test::make24BitBmp(test::gradientImage(5, 5)))));
    EXPECT_FALSE(dib.Load(folder.filePath("missing.bmp")));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], kCantLoad);
    expectEmpty(dib);
    EXPECT_FALSE(dib.Load(folder.filePath())); // a folder is no bitmap
    ASSERT_EQ(messages.messages.size(), 2u);
    expectEmpty(dib);
}

// One pixel memory serves every load: once it has held the largest picture it
// is never reallocated, and each load shows only its own picture.
TEST(cDIBSection, ManyLoadsHoldOneBuffer)
{
    TempFolder folder;
    RecordingMessageSink messages;
    cDIBSection dib(messages);
    const FilePath big = folder.written("big.bmp", test::make24BitBmp(test::gradientImage(64, 48)));
    const FilePath small = folder.written("small.bmp", test::make24BitBmp(test::gradientImage(7, 3)));
    ASSERT_TRUE(dib.Load(big));
    const std::uint8_t *memory = dib.DIBSectionBitsPtr();
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(dib.Load(i % 2 ? big : small));
        EXPECT_EQ(dib.DIBSectionBitsPtr(), memory);
        EXPECT_EQ(dib.dib_width(), i % 2 ? 64 : 7);
    }
    dib.CleanUp();
    expectEmpty(dib);
    ASSERT_TRUE(dib.Create(10, 10, 4));
    EXPECT_EQ(dib.DIBSectionBitsPtr(), memory);
}

} // namespace
} // namespace grelm
