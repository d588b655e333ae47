// The thumbnail maker's area-averaging reduction of bottom-up rows.
#include "support/test_picture.h"
#include "thumbs/area_reduction.h"
#include "thumbs/bmp24_file.h"

#include <QImage>

#include <algorithm>
#include <random>

#include <gtest/gtest.h>

using namespace grelm;

namespace {

// A picture's rows in memory order (bottom row first), 24-bit blue-green-red.
struct Rows {
    explicit Rows(const QImage &image) : width(image.width()), height(image.height()), pitch(bmp24Pitch(width))
    {
        bytes.resize(std::size_t(pitch) * std::size_t(height));
        const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c)
                    bytes[std::size_t((height - 1 - y) * pitch + 3 * x + c)] = rgb.constScanLine(y)[3 * x + 2 - c];
    }
    BottomUpPicture picture() const { return {bytes.data(), width, height, pitch}; }

    int width, height, pitch;
    std::vector<std::uint8_t> bytes;
};

// The reduction written into the rows of a bitmap file, as the thumbnail maker does.
void reduceToBmp24(const BottomUpPicture &picture, int w, int h, QByteArray &bmp, ReductionScratch &scratch)
{
    reduceArea(picture, w, h, startBmp24(bmp, w, h), bmp24Pitch(w), scratch);
}

QImage reduce(const QImage &image, int w, int h)
{
    const Rows rows(image);
    QByteArray bmp;
    ReductionScratch scratch;
    reduceToBmp24(rows.picture(), w, h, bmp, scratch);
    return QImage::fromData(bmp, "BMP");
}

} // namespace

TEST(ThumbnailReduction, EachPixelIsTheMeanOfTheAreaItCovers)
{
    const struct {
        const char *what;
        QImage source;
        QSize size;
        QPoint at;
        QColor expected;
    } rows[] = {
        {"a 2x2 checkerboard reduced by 8 is mid-grey", test::checkerboard(64, 64, 2), {8, 8}, {3, 5},
         QColor(128, 128, 128)},
        {"one colour stays exactly", test::solidImage(50, 30, QColor(10, 200, 77)), {7, 5}, {6, 4}, QColor(10, 200, 77)},
        {"a third of a pixel is weighed as a third", test::drawnPicture(3, 1, [](int x, int) {
             return x == 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0); }), {2, 1}, {0, 0}, QColor(85, 85, 85)},
        {"rows stay upright", test::quarters(4, 4), {2, 2}, {0, 0}, QColor(Qt::red)},
        {"the same size copies", test::drawnPicture(5, 3, [](int x, int y) { return qRgb(x * 50, y * 100, 9); }),
         {5, 3}, {4, 2}, QColor(200, 200, 9)},
    };
    for (const auto &row : rows) {
        const QImage out = reduce(row.source, row.size.width(), row.size.height());
        ASSERT_EQ(out.size(), row.size) << row.what;
        EXPECT_EQ(out.pixelColor(row.at), row.expected) << row.what;
    }
}

TEST(ThumbnailReduction, LooksLikeQtsSmoothReduction)
{
    const QImage source = test::testPicture(640, 480, 3);
    const QImage ours = reduce(source, 70, 52);
    const QImage qt = source.scaled(70, 52, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Both average areas, so they differ only by rounding and edge weights
    // (about 53 dB today).
    EXPECT_GT(test::psnr(ours, qt), 40.0);
}

namespace {

// The exact area mean by the definition, pixel by pixel: source pixel i spans
// [i*to, (i+1)*to) and destination pixel j spans [j*from, (j+1)*from) in units
// of 1/to of a source pixel; a destination pixel is its overlap-weighted sum
// divided by the whole area, rounded half up.
std::uint8_t exactMean(const Rows &rows, int w, int h, int x, int y, int c)
{
    auto overlap = [](std::int64_t i, std::int64_t j, std::int64_t from, std::int64_t to) {
        return std::max<std::int64_t>(0, std::min((i + 1) * to, (j + 1) * from) - std::max(i * to, j * from));
    };
    std::uint64_t sum = 0;
    for (int sy = int(std::int64_t(y) * rows.height / h); sy < rows.height && sy * std::int64_t(h) < (y + 1) * std::int64_t(rows.height); ++sy)
        for (int sx = int(std::int64_t(x) * rows.width / w); sx < rows.width && sx * std::int64_t(w) < (x + 1) * std::int64_t(rows.width); ++sx)
            sum += std::uint64_t(overlap(sx, x, rows.width, w) * overlap(sy, y, rows.height, h)) *
                   rows.bytes[std::size_t(sy) * rows.pitch + 3 * sx + c];
    const std::uint64_t total = std::uint64_t(rows.width) * rows.height;
    return std::uint8_t((sum + total / 2) / total);
}

} // namespace

TEST(ThumbnailReduction, EqualsTheExactAreaMeanEverywhere)
{
    const struct {
        QSize from, to;
        bool white;
    } cases[] = {
        {{1024, 768}, {70, 53}, false},
        {{641, 479}, {70, 52}, false},
        {{300, 1100}, {7, 3}, false}, // hundreds of whole rows fall on one destination row
        {{3, 3000}, {1, 1}, true},    // the largest sums a column can reach
        {{9, 7}, {9, 7}, false},
        {{5, 600}, {2, 599}, false},  // almost every row straddles two destination rows
    };
    std::mt19937 random(7);
    for (const auto &c : cases) {
        Rows rows(QImage(1, 1, QImage::Format_RGB32));
        rows.width = c.from.width(), rows.height = c.from.height(), rows.pitch = bmp24Pitch(rows.width);
        rows.bytes.resize(std::size_t(rows.pitch) * rows.height);
        for (std::uint8_t &b : rows.bytes)
            b = c.white ? 255 : std::uint8_t(random());
        QByteArray bmp;
        ReductionScratch scratch;
        reduceToBmp24(rows.picture(), c.to.width(), c.to.height(), bmp, scratch);
        const int pitch = bmp24Pitch(c.to.width());
        ASSERT_EQ(bmp.size(), 54 + pitch * c.to.height());
        int wrong = 0;
        for (int y = 0; y < c.to.height(); ++y)
            for (int x = 0; x < c.to.width(); ++x)
                for (int ch = 0; ch < 3; ++ch)
                    wrong += std::uint8_t(bmp[54 + y * pitch + 3 * x + ch]) != exactMean(rows, c.to.width(), c.to.height(), x, y, ch);
        EXPECT_EQ(wrong, 0) << c.from.width() << "x" << c.from.height() << " to " << c.to.width() << "x" << c.to.height();
    }
}
