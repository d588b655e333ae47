#include "core/errors.h"
#include "core/messages.h"
#include "support/temp_folder.h"
#include "thumbs/thumbnail.h"
#include "thumbs/thumbnail_bmp.h"
#include "thumbs/thumbnail_error.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <gtest/gtest.h>

namespace grelm {
namespace {

using test::TempFolder;

// A picture whose quarters have different colours, so that a flipped or
// channel-swapped file shows.
QImage quarters(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, y < height / 2 ? (x < width / 2 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                                : (x < width / 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 0)));
    return image;
}

QImage readBack(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    return reader.read();
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
    EXPECT_EQ(thumb.DestFilePath(), QString());
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
        thumb.setDestFilePath(folder.file(name));
        thumb.CreateFromStdPicture(Picture(quarters(640, 480)));

        const QByteArray bytes = folder.read(name);
        ASSERT_GE(bytes.size(), 54) << name;
        EXPECT_EQ(bytes.left(2), "BM");
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 28), 24); // bits per pixel
        EXPECT_EQ(bytes.size(), 54 + 212 * 52); // 70 * 3 = 210 bytes padded to 212
        const QImage image = readBack(bytes);
        ASSERT_EQ(image.size(), QSize(70, 52));
        EXPECT_EQ(image.pixel(5, 5), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(64, 5), qRgb(0, 255, 0));
        EXPECT_EQ(image.pixel(5, 46), qRgb(0, 0, 255));
        EXPECT_EQ(image.pixel(64, 46), qRgb(255, 255, 0));
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(Thumbnail, OtherEndingsWriteNothing)
{
    for (const QString name : {"a.jpeg", "a.png", "noextension", "bm", ""}) {
        thumb.setDestFilePath(name.isEmpty() ? QString() : folder.file(name));
        EXPECT_NO_THROW(thumb.CreateFromStdPicture(Picture(quarters(64, 48))));
    }
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(Thumbnail, ExistingFileIsReplaced)
{
    folder.write("old.bmp", QByteArray(5000, 'x'));
    thumb.setMaxWidth(70);
    thumb.setDestFilePath(folder.file("old.bmp"));
    thumb.CreateFromStdPicture(Picture(quarters(60, 40)));
    EXPECT_EQ(readBack(folder.read("old.bmp")).size(), QSize(60, 40)); // 40 fits the default 50
}

TEST_F(Thumbnail, UnloadableSourceThrowsAndWritesNothing)
{
    folder.write("broken.bmp", QByteArray("BM not really a bitmap"));
    thumb.setDestFilePath(folder.file("out.bmp"));
    EXPECT_THROW(thumb.CreateFromFile(folder.file("broken.bmp")), FileError);
    EXPECT_THROW(thumb.CreateFromFile(folder.file("missing.bmp")), FileError);
    EXPECT_FALSE(folder.exists("out.bmp"));
}

TEST_F(Thumbnail, EmptyOrNegativeBoxThrowsAndWritesNothing)
{
    thumb.setDestFilePath(folder.file("out.bmp"));
    for (const auto &box : {std::pair{0, 70}, std::pair{70, 0}, std::pair{-70, -70}}) {
        thumb.setMaxWidth(box.first);
        thumb.setMaxHeight(box.second);
        for (bool forced : {false, true}) {
            thumb.setForcedDimensions(forced);
            EXPECT_THROW(thumb.CreateFromStdPicture(Picture(quarters(640, 480))), ThumbnailError);
        }
    }
    EXPECT_THROW(thumb.CreateFromStdPicture(Picture()), ThumbnailError);
    EXPECT_FALSE(folder.exists("out.bmp"));
}

TEST_F(Thumbnail, UnwritableDestinationThrowsFileError)
{
    folder.write("plainfile", "x"); // a file where a folder would have to be
    thumb.setDestFilePath(folder.file("plainfile/out.bmp"));
    EXPECT_THROW(thumb.CreateFromStdPicture(Picture(quarters(64, 48))), FileError);
}

TEST_F(Thumbnail, CreateFromFileReducesTheLoadedPicture)
{
    writeBmp24(folder.file("shot.bmp"), quarters(640, 480));
    thumb.setMaxWidth(70);
    thumb.setMaxHeight(70);
    thumb.setDestFilePath(folder.file("thumb.bmp"));
    thumb.CreateFromFile(folder.file("shot.bmp"));
    const QImage image = readBack(folder.read("thumb.bmp"));
    ASSERT_EQ(image.size(), QSize(70, 52));
    EXPECT_EQ(image.pixel(5, 46), qRgb(0, 0, 255));
}

} // namespace
} // namespace grelm
