#include "support/test_picture.h"
#include "thumbs/thumbnail_bitmap.h"
#include "thumbs/thumbnail_color.h"
#include "thumbs/thumbnail_error.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

namespace grelm {
namespace {

using test::checkerboard;
using test::solidImage;

TEST(ThumbnailImage, ReductionAveragesAreas)
{
    // Every thumbnail pixel covers 8 x 8 source pixels, half of them white,
    // so an averaging reduction gives grey where sampling would give black or white.
    const QImage thumb = makeThumbnailImage(checkerboard(64, 48, 2), {8, 8, 0xFFFFFF, false});
    EXPECT_EQ(test::firstDifference(thumb, solidImage(8, 6, QColor(128, 128, 128)), 16), "");
}

TEST(ThumbnailImage, ForcedDimensionsCentresOnDefaultWhite)
{
    const QImage thumb = makeThumbnailImage(solidImage(640, 480, Qt::red), {70, 70, 0x00FFFFFF, true});
    ASSERT_EQ(thumb.size(), QSize(70, 70));
    // The 70 x 52 picture covers rows 9 to 60; every column of them.
    for (int x : {0, 35, 69}) {
        for (int y : {0, 8, 61, 69})
            EXPECT_EQ(thumb.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
        for (int y : {9, 35, 60})
            EXPECT_EQ(thumb.pixel(x, y), qRgb(255, 0, 0)) << x << "," << y;
    }
}

TEST(ThumbnailImage, WithoutForcedDimensionsTheCanvasIsThePicture)
{
    const QImage thumb = makeThumbnailImage(solidImage(60, 40, Qt::blue), {70, 70, 0x000000FF, false});
    ASSERT_EQ(thumb.size(), QSize(60, 40));
    EXPECT_EQ(thumb.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(thumb.pixel(59, 39), qRgb(0, 0, 255));
}

TEST(ThumbnailImage, RefusesNullPictureAndEmptyBox)
{
    EXPECT_THROW(makeThumbnailImage(QImage(), {}), ThumbnailError);
    EXPECT_THROW(makeThumbnailImage(solidImage(10, 10, Qt::red), {0, 10, 0, false}), ThumbnailError);
    EXPECT_THROW(makeThumbnailImage(solidImage(10, 10, Qt::red), {10, -3, 0, true}), FloatingPointError);
}

TEST(ThumbnailImage, ForcedBackgroundUsesTranslatedColour)
{
    // 0x8000000F names the button face colour.
    const QImage thumb = makeThumbnailImage(solidImage(640, 480, Qt::red), {70, 70, 0x8000000F, true});
    EXPECT_EQ(thumb.pixel(35, 2), QGuiApplication::palette().color(QPalette::Button).rgb());
    const QImage black = makeThumbnailImage(solidImage(640, 480, Qt::red), {70, 70, 0x01000000, true});
    EXPECT_EQ(black.pixel(35, 2), qRgb(0, 0, 0));
}

TEST(TranslateColor, RgbPassesAndSystemColoursMapThroughThePalette)
{
    const QPalette palette = QGuiApplication::palette();
    const struct {
        std::uint32_t value;
        QRgb expected;
    } cases[] = {
        {0x00FFFFFF, qRgb(255, 255, 255)},
        {0x000000FF, qRgb(255, 0, 0)}, // red in the low byte
        {0x00123456, qRgb(0x56, 0x34, 0x12)},
        {0x80000005, palette.color(QPalette::Base).rgb()},
        {0x8000000C, palette.color(QPalette::Dark).rgb()},
        {0x8000000D, palette.color(QPalette::Highlight).rgb()},
        {0x8000000E, palette.color(QPalette::HighlightedText).rgb()},
        {0x8000000F, palette.color(QPalette::Button).rgb()},
        {0x80000014, palette.color(QPalette::Light).rgb()},
        {0x80000063, qRgb(0, 0, 0)}, // no such system colour
        {0x80000105, qRgb(0, 0, 0)}, // index beyond the low byte
        {0x01000005, qRgb(0, 0, 0)}, // a palette index, with no palette
        {0xFFFFFFFF, qRgb(0, 0, 0)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(translateColor(c.value), c.expected) << std::hex << c.value;
}

} // namespace
} // namespace grelm
