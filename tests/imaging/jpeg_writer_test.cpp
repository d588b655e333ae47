#include "jpeg_check.h"

#include "core/errors.h"
#include "core/messages.h"
#include "imaging/dib_section.h"
#include "imaging/helpers.h"
#include "support/bmp_builder.h"
#include "support/temp_folder.h"
#include "support/test_picture.h"

#include <QDir>
#include <QPainter>

#include <turbojpeg.h>

#include <gtest/gtest.h>

namespace grelm {
namespace {

using test::TempFolder;

// Smooth like a photo, so that JPEG's losses stay small; green grows
// downwards, so a picture written upside down scores far below the bar.
QImage smoothImage(int width, int height)
{
    return test::drawnPicture(width, height,
                              [=](int x, int y) { return qRgb(60 + 2 * x, 20 + 200 * y / std::max(1, height - 1), 128); });
}

QStringList folderEntries(const TempFolder &folder)
{
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

Message saveFailure(int code)
{
    return jpegErrorMessage(QStringLiteral("Failed to save to JPG"), code);
}

TEST(ScanLinePadBytes, PadsRowsToFourBytes)
{
    struct Row { std::int32_t width, channels, pad; };
    const Row rows[] = {{1, 3, 1}, {2, 3, 2}, {3, 3, 3}, {4, 3, 0}, {5, 3, 1}, {3, 4, 0}, {7, 4, 0}, {0, 3, 0}};
    for (const Row &r : rows)
        EXPECT_EQ(ScanLinePadBytes(r.width, r.channels), r.pad) << r.width << " x " << r.channels;
}

TEST(ScanLinePadBytes, RowSizeBeyond32BitsIsAnOverflow)
{
    EXPECT_THROW(ScanLinePadBytes(0x7FFFFFFF, 3), OverflowError);
    EXPECT_THROW(ScanLinePadBytes(0x7FFFFFFE, 1), OverflowError); // the rounding step overflows
}

TEST(ShowIJLError, ShowsCodeAndMessageWithWarningIcon)
{
    RecordingMessageSink messages;
    ShowIJLError(messages, QStringLiteral("Failed to save to JPG"), -5);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], saveFailure(-5));
}

// A loaded w x h screenshot becomes a w x h three-component JPEG, upright and
// close to the source; widths 1 to 4 cover every row padding.
TEST(WriteDIBToJPEG, WritesUprightPictureOfTheBufferSize)
{
    const QSize sizes[] = {{1, 16}, {2, 16}, {3, 16}, {4, 16}, {64, 48}, {33, 17}};
    for (const QSize size : sizes) {
        TempFolder folder;
        RecordingMessageSink messages;
        cDIBSection dib(messages);
        const QImage source = smoothImage(size.width(), size.height());
        ASSERT_TRUE(dib.Load(folder.write("shot.bmp", test::make24BitBmp(source))));
        ASSERT_TRUE(WriteDIBToJPEG(dib, folder.file("shot.jpg"), messages));
        const test::DecodedJpeg jpeg = test::decodeJpeg(folder.read("shot.jpg"));
        ASSERT_TRUE(jpeg.ok);
        EXPECT_EQ(QSize(jpeg.width, jpeg.height), size);
        EXPECT_EQ(jpeg.components, 3);
        EXPECT_EQ(jpeg.subsampling, TJSAMP_420);
        EXPECT_GT(test::psnr(jpeg.image, source), 30.0) << size.width() << " x " << size.height();
        EXPECT_TRUE(messages.messages.empty());
        EXPECT_EQ(folderEntries(folder), QStringList({"shot.bmp", "shot.jpg"}));
    }
}

TEST(WriteDIBToJPEG, ReplacesAnExistingFile)
{
    TempFolder folder;
    RecordingMessageSink messages;
    cDIBSection dib(messages);
    ASSERT_TRUE(dib.Load(folder.write("a.bmp", test::make24BitBmp(smoothImage(20, 10)))));
    folder.write("a.jpg", QByteArray(100000, 'x'));
    ASSERT_TRUE(WriteDIBToJPEG(dib, folder.file("a.jpg"), messages));
    const test::DecodedJpeg jpeg = test::decodeJpeg(folder.read("a.jpg"));
    EXPECT_TRUE(jpeg.ok);
    EXPECT_EQ(jpeg.width, 20);
}

// A four-channel buffer (blue, green, red, unused) becomes an ordinary
// three-component JPEG that any viewer reads.
TEST(WriteDIBToJPEG, FourChannelBufferGivesThreeComponentJpeg)
{
    TempFolder folder;
    RecordingMessageSink messages;
    cDIBSection dib(messages);
    ASSERT_TRUE(dib.Create(32, 24, 4));
    {
        QImage surface = dib.hdc();
        QPainter painter(&surface);
        painter.fillRect(0, 0, 32, 12, QColor(200, 30, 40));  // first rows in memory: the bottom
        painter.fillRect(0, 12, 32, 12, QColor(20, 60, 220));
    }
    ASSERT_TRUE(WriteDIBToJPEG(dib, folder.file("t.jpg"), messages));
    const test::DecodedJpeg jpeg = test::decodeJpeg(folder.read("t.jpg"));
    ASSERT_TRUE(jpeg.ok);
    EXPECT_EQ(jpeg.components, 3);
    EXPECT_EQ(QSize(jpeg.width, jpeg.height), QSize(32, 24));
    EXPECT_TRUE(test::nearColour(jpeg.image.pixel(16, 2), qRgb(20, 60, 220), 12));
    EXPECT_TRUE(test::nearColour(jpeg.image.pixel(16, 21), qRgb(200, 30, 40), 12));
}

// The write fails for real (root included) and leaves nothing behind.
TEST(WriteDIBToJPEG, UnwritablePathShowsTheMessageAndLeavesNoFile)
{
    TempFolder folder;
    folder.write("plain.txt", "not a folder");
    const QString paths[] = {folder.file("missing/out.jpg"), folder.file("plain.txt/out.jpg")};
    for (const QString &path : paths) {
        RecordingMessageSink messages;
        cDIBSection dib(messages);
        ASSERT_TRUE(dib.Create(8, 8, 3));
        EXPECT_FALSE(WriteDIBToJPEG(dib, path, messages));
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0], saveFailure(-9));
        EXPECT_EQ(folderEntries(folder), QStringList({"plain.txt"}));
    }
}

// After a failed load the buffer is empty: nothing is read, no file appears,
// and an older file of that name keeps its bytes.
TEST(WriteDIBToJPEG, EmptyBufferFailsAndKeepsTheOlderFile)
{
    TempFolder folder;
    RecordingMessageSink messages;
    cDIBSection dib(messages);
    folder.write("old.jpg", "older bytes");
    EXPECT_FALSE(WriteDIBToJPEG(dib, folder.file("old.jpg"), messages));
    EXPECT_FALSE(WriteDIBToJPEG(dib, folder.file("new.jpg"), messages));
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[0], saveFailure(-4));
    EXPECT_EQ(folder.read("old.jpg"), QByteArray("older bytes"));
    EXPECT_FALSE(folder.exists("new.jpg"));
}

TEST(WriteDIBToJPEG, NameOutsideAsciiReachesTheFileSystem)
{
    TempFolder folder;
    RecordingMessageSink messages;
    cDIBSection dib(messages);
    ASSERT_TRUE(dib.Create(4, 4, 3));
    const QString name = QStringLiteral("sch\u00f6n \u5199\u771f.jpg");
    ASSERT_TRUE(WriteDIBToJPEG(dib, folder.file(name), messages));
    EXPECT_TRUE(QFile::exists(folder.file(name)));
}

} // namespace
} // namespace grelm
