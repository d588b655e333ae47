#include "core/errors.h"
#include "core/messages.h"
#include "imaging/dib_section.h"
#include "support/temp_folder.h"
#include "support/test_picture.h"
#include "thumbs/area_reduction.h"
#include "thumbs/bmp24_file.h"
#include "thumbs/thumbnail.h"
#include "thumbs/thumbnail_error.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <gtest/gtest.h>

namespace grelm {
namespace {

using test::nearColour;
using test::quarters;
using test::TempFolder;

QImage readBack(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    return reader.read();
}

// Loads a bitmap file with the program's own reader, as the conversion pass does.
QImage loadWithDib(const QString &path)
{
    RecordingMessageSink messages;
    cDIBSection dib(messages);
    if (!dib.Load(FilePath::fromEscapedText(path)))
        return {};
    return dib.hdc().mirrored(false, true).convertToFormat(QImage::Format_RGB32);
}

// Checks the four quarters of a reduced `quarters` picture.
void expectQuarters(const QImage &image, int tolerance)
{
    const int right = image.width() - 6;
    const int bottom = image.height() - 6;
    EXPECT_TRUE(nearColour(image.pixel(5, 5), qRgb(255, 0, 0), tolerance)) << "top left";
    EXPECT_TRUE(nearColour(image.pixel(right, 5), qRgb(0, 255, 0), tolerance)) << "top right";
    EXPECT_TRUE(nearColour(image.pixel(5, bottom), qRgb(0, 0, 255), tolerance)) << "bottom left";
    EXPECT_TRUE(nearColour(image.pixel(right, bottom), qRgb(255, 255, 0), tolerance)) << "bottom right";
}

class Thumbnail : public ::testing::Test {
protected:
    TempFolder folder;
    RecordingMessageSink messages;
    cThumbnail thumb{messages};
};

TEST_F(Thumbnail, StartsWithDefaultsAndStoresSettingsUnchecked)
{
    EXPECT_EQ(thumb.MaxWidth(), 50);
    EXPECT_EQ(thumb.MaxHeight(), 50);
    EXPECT_EQ(thumb.BackColor(), 0x00FFFFFFu);
    EXPECT_EQ(thumb.DestFilePath(), FilePath());
    EXPECT_FALSE(thumb.ForcedDimensions());
    thumb.setMaxWidth(-7);
    thumb.setMaxHeight(0);
    thumb.setBackColor(0xDEADBEEF);
    EXPECT_EQ(thumb.MaxWidth(), -7);
    EXPECT_EQ(thumb.MaxHeight(), 0);
    EXPECT_EQ(thumb.BackColor(), 0xDEADBEEFu);
}

TEST_F(Thumbnail, BitmapEndingWritesA24BitBitmapOfTheReducedPicture)
{
    for (const char *name : {"a.bmp", "B.BMP"}) {
        thumb.setMaxWidth(70);
        thumb.setMaxHeight(70);
        thumb.setDestFilePath(folder.filePath(name));
        thumb.CreateFromStdPicture(Picture(quarters(640, 480)));

        const QByteArray bytes = folder.read(name);
        ASSERT_GE(bytes.size(), 54) << name;
        EXPECT_EQ(bytes.left(2), "BM");
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 24); // bits per pixel
        EXPECT_EQ(bytes.size(), 54 + 212 * 52); // 70 * 3 = 210 bytes padded to 212
        const QImage image = loadWithDib(folder.file(name));
        ASSERT_EQ(image.size(), QSize(70, 52));
        expectQuarters(image, 0);
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(Thumbnail, JpgEndingInAnyCaseWritesAnUprightJpeg)
{
    for (const char *name : {"a.jpg", "b.JPG", "c.Jpg"}) {
        thumb.setMaxWidth(70);
        thumb.setMaxHeight(70);
        thumb.setDestFilePath(folder.filePath(name));
        thumb.CreateFromStdPicture(Picture(quarters(640, 480)));

        const QByteArray bytes = folder.read(name);
        ASSERT_TRUE(bytes.startsWith("\xFF\xD8")) << name;
        const QImage image = readBack(bytes).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.size(), QSize(70, 52)) << name;
        expectQuarters(image, 40);
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(Thumbnail, ForcedDimensionsJpegIsTheWholeBox)
{
    thumb.setMaxWidth(70);
    thumb.setMaxHeight(70);
    thumb.setForcedDimensions(true);
    thumb.setDestFilePath(folder.filePath("forced.jpg"));
    thumb.CreateFromStdPicture(Picture(quarters(480, 640)));
    const QImage image = readBack(folder.read("forced.jpg")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(70, 70));
    // The 53 x 70 picture sits at left 8: white columns on both sides.
    EXPECT_TRUE(nearColour(image.pixel(2, 35), qRgb(255, 255, 255), 40)) << "left margin";
    EXPECT_TRUE(nearColour(image.pixel(67, 35), qRgb(255, 255, 255), 40)) << "right margin";
    EXPECT_TRUE(nearColour(image.pixel(14, 5), qRgb(255, 0, 0), 40)) << "picture";
}

TEST_F(Thumbnail, OtherEndingsWriteNothing)
{
    for (const QString name : {"a.jpeg", "a.png", "noextension", "bm", ""}) {
        thumb.setDestFilePath(name.isEmpty() ? FilePath() : folder.filePath(name));
        EXPECT_NO_THROW(thumb.CreateFromStdPicture(Picture(quarters(64, 48))));
    }
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(Thumbnail, ExistingFileIsReplaced)
{
    thumb.setMaxWidth(70); // 60 x 40 fits 70 x 50 as it is
    for (const char *name : {"old.bmp", "old.jpg"}) {
        folder.write(name, QByteArray(5000, 'x'));
        thumb.setDestFilePath(folder.filePath(name));
        thumb.CreateFromStdPicture(Picture(quarters(60, 40)));
        EXPECT_EQ(readBack(folder.read(name)).size(), QSize(60, 40)) << name;
    }
    EXPECT_EQ(loadWithDib(folder.file("old.bmp")).size(), QSize(60, 40));
}

TEST_F(Thumbnail, UnloadableSourceThrowsAndWritesNothing)
{
    folder.write("broken.bmp", QByteArray("BM not really a bitmap"));
    thumb.setDestFilePath(folder.filePath("out.bmp"));
    EXPECT_THROW(thumb.CreateFromFile(folder.filePath("broken.bmp")), FileError);
    EXPECT_THROW(thumb.CreateFromFile(folder.filePath("missing.bmp")), FileError);
    EXPECT_FALSE(folder.exists("out.bmp"));
}

TEST_F(Thumbnail, EmptyOrNegativeBoxThrowsAndWritesNothing)
{
    thumb.setDestFilePath(folder.filePath("out.bmp"));
    for (const auto &box : {std::pair{0, 70}, std::pair{70, 0}, std::pair{-70, -70}}) {
        thumb.setMaxWidth(box.first);
        thumb.setMaxHeight(box.second);
        for (bool forced : {false, true}) {
            thumb.setForcedDimensions(forced);
            EXPECT_THROW(thumb.CreateFromStdPicture(Picture(quarters(640, 480))), AppError);
        }
    }
    EXPECT_THROW(thumb.CreateFromStdPicture(Picture()), ThumbnailError);
    EXPECT_FALSE(folder.exists("out.bmp"));
}

TEST_F(Thumbnail, UnwritableDestinationThrowsFileError)
{
    folder.write("plainfile", "x"); // a file where a folder would have to be
    thumb.setDestFilePath(folder.filePath("plainfile/out.bmp"));
    EXPECT_THROW(thumb.CreateFromStdPicture(Picture(quarters(64, 48))), FileError);
}

TEST_F(Thumbnail, CreateFromFileReducesTheLoadedPicture)
{
    writeBmp24(folder.filePath("shot.bmp"), quarters(640, 480));
    thumb.setMaxWidth(70);
    thumb.setMaxHeight(70);
    thumb.setDestFilePath(folder.filePath("thumb.bmp"));
    thumb.CreateFromFile(folder.filePath("shot.bmp"));
    const QImage image = loadWithDib(folder.file("thumb.bmp"));
    ASSERT_EQ(image.size(), QSize(70, 52));
    expectQuarters(image, 0);
}

// A maker made without a message sink makes the same bitmap from a loaded
// screenshot; a JPEG, whose failures it could not report, it refuses.
TEST_F(Thumbnail, MakerWithoutMessagesMakesBitmapsAndRefusesJpegs)
{
    writeBmp24(folder.filePath("shot.bmp"), quarters(640, 480));
    cDIBSection dib(messages);
    ASSERT_TRUE(dib.Load(folder.filePath("shot.bmp")));
    cThumbnail quiet;
    for (cThumbnail *maker : {&thumb, &quiet}) {
        maker->setMaxWidth(70);
        maker->setMaxHeight(70);
    }
    QByteArray bmp;
    ReductionScratch scratch;
    quiet.CreateBitmapFromLoaded(dib, bmp, scratch);
    thumb.setDestFilePath(folder.filePath("thumb.bmp"));
    thumb.CreateFromFile(folder.filePath("shot.bmp"));
    EXPECT_EQ(bmp, folder.read("thumb.bmp"));
    quiet.setDestFilePath(folder.filePath("thumb.jpg"));
    EXPECT_THROW(quiet.CreateFromStdPicture(Picture(quarters(64, 48))), ThumbnailError);
    EXPECT_FALSE(folder.exists("thumb.jpg"));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(Thumbnail, CreateFromFileReadsOtherPictureFormatsToo)
{
    ASSERT_TRUE(quarters(100, 80).save(folder.file("shot.png"), "png"));
    thumb.setDestFilePath(folder.filePath("thumb.bmp"));
    thumb.CreateFromFile(folder.filePath("shot.png"));
    const QImage image = loadWithDib(folder.file("thumb.bmp"));
    ASSERT_EQ(image.size(), QSize(50, 40));
    expectQuarters(image, 0);
}

} // namespace
} // namespace grelm
