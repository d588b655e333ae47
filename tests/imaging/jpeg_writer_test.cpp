#include "jpeg_check.h"

#include "core/errors.h"
#include "core/messages.h"
#include "core/user_messages.h"
#include "imaging/dib_section.h"
#include "imaging/exif_dates.h"
#include "imaging/exif_mark.h"
#include "imaging/helpers.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/jpeg_segments.h"
#include "support/bmp_builder.h"
#include "support/temp_folder.h"
#include "support/test_picture.h"

#include <QDir>
#include <QPainter>

#include <turbojpeg.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <sys/stat.h>

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

// Sets this process's time zone for one scope and puts the old one back.
class ZoneScope {
public:
    explicit ZoneScope(const char *zone) : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ"))
    {
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope()
    {
        if (m_had)
            setenv("TZ", m_old.constData(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_had;
    QByteArray m_old;
};

// A small picture encoded as the Convert command encodes it, not yet dated.
QByteArray encodedPicture(const TempFolder &folder)
{
    RecordingMessageSink messages;
    cDIBSection dib(messages);
    JpegEncoder encoder;
    QByteArray jpeg;
    if (dib.Load(folder.written("shot.bmp", test::make24BitBmp(smoothImage(40, 30)))))
        EncodeDIBToJPEG(dib, encoder, jpeg);
    return jpeg;
}

qsizetype segmentEnd(const QByteArray &jpeg, qsizetype start)
{
    return start + 2 + (qsizetype(uchar(jpeg[start + 2])) << 8 | uchar(jpeg[start + 3]));
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
        ASSERT_TRUE(dib.Load(folder.written("shot.bmp", test::make24BitBmp(source))));
        ASSERT_TRUE(WriteDIBToJPEG(dib, folder.filePath("shot.jpg"), messages));
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
    ASSERT_TRUE(dib.Load(folder.written("a.bmp", test::make24BitBmp(smoothImage(20, 10)))));
    folder.write("a.jpg", QByteArray(100000, 'x'));
    ASSERT_TRUE(WriteDIBToJPEG(dib, folder.filePath("a.jpg"), messages));
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
    ASSERT_TRUE(WriteDIBToJPEG(dib, folder.filePath("t.jpg"), messages));
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
    const FilePath paths[] = {folder.filePath("missing/out.jpg"), folder.filePath("plain.txt/out.jpg")};
    for (const FilePath &path : paths) {
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
    EXPECT_FALSE(WriteDIBToJPEG(dib, folder.filePath("old.jpg"), messages));
    EXPECT_FALSE(WriteDIBToJPEG(dib, folder.filePath("new.jpg"), messages));
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
    ASSERT_TRUE(WriteDIBToJPEG(dib, folder.filePath(name), messages));
    EXPECT_TRUE(QFile::exists(folder.file(name)));
}

// The Convert command encodes in memory without the record: the bytes the
// record's file route writes, for loaded, four-channel and top-down buffers,
// and for an empty one the status and cause of that route's message.
TEST(EncodeDIBToJPEG, GivesTheBytesAndFailuresOfTheFileRoute)
{
    TempFolder folder;
    const struct {
        const char *what;
        std::function<bool(cDIBSection &)> fill;
    } rows[] = {
        {"loaded, 3 wide", [&](cDIBSection &dib) { return dib.Load(folder.written("a.bmp", test::make24BitBmp(smoothImage(3, 7)))); }},
        {"loaded, 33 x 17", [&](cDIBSection &dib) { return dib.Load(folder.written("b.bmp", test::make24BitBmp(smoothImage(33, 17)))); }},
        {"four channels", [](cDIBSection &dib) { return dib.Create(32, 24, 4); }},
        {"top-down", [](cDIBSection &dib) { return dib.Create(17, -12, 3); }},
        {"empty", [](cDIBSection &) { return true; }},
    };
    JpegEncoder encoder;
    for (const auto &r : rows) {
        RecordingMessageSink messages;
        cDIBSection dib(messages);
        ASSERT_TRUE(r.fill(dib)) << r.what;
        if (QImage surface = dib.hdc(); !surface.isNull()) {
            QPainter painter(&surface); // first rows in memory differ from the last
            painter.fillRect(0, 0, surface.width(), 4, QColor(200, 30, 40));
        }
        QByteArray jpeg;
        QString detail;
        const std::int32_t status = EncodeDIBToJPEG(dib, encoder, jpeg, &detail);
        const bool written = WriteDIBToJPEG(dib, folder.filePath("out.jpg"), messages);
        EXPECT_EQ(status == 0, written) << r.what;
        if (written) {
            EXPECT_EQ(jpeg, folder.read("out.jpg")) << r.what;
            EXPECT_TRUE(detail.isEmpty()) << r.what;
            continue;
        }
        ASSERT_EQ(messages.messages.size(), 1u) << r.what;
        EXPECT_EQ(messages.messages[0], saveFailure(status)) << r.what;
        EXPECT_EQ(messages.messages[0].detail, detail) << r.what;
    }
}

// The time goes inside as the local clock showed it then, with the offset of
// that moment: winter and summer, half-hour zones, a local new year.
TEST(SaveJPEG, DatesTheJpegInLocalTimeWithThatMomentsOffset)
{
    struct Row { const char *zone; std::time_t seconds; const char *local; const char *offset; };
    const Row rows[] = {
        {"UTC", 1700000000, "2023:11:14 22:13:20", "+00:00"},
        {"Europe/Paris", 1700000000, "2023:11:14 23:13:20", "+01:00"},
        {"Europe/Paris", 1690000000, "2023:07:22 06:26:40", "+02:00"},
        {"America/St_Johns", 1700000000, "2023:11:14 18:43:20", "-03:30"},
        {"America/St_Johns", 1690000000, "2023:07:22 01:56:40", "-02:30"},
        {"Pacific/Auckland", 1704063600, "2024:01:01 12:00:00", "+13:00"},
    };
    TempFolder folder;
    const QByteArray jpeg = encodedPicture(folder);
    ASSERT_FALSE(jpeg.isEmpty());
    for (const Row &r : rows) {
        ZoneScope zone(r.zone);
        RecordingMessageSink messages;
        ASSERT_TRUE(SaveJPEG(folder.filePath("dated.jpg"), 0, jpeg, FileTime{r.seconds, 0}, messages));
        const test::ExifDates expected{r.local, r.local, r.offset, r.offset, kSoftwareMark, 6};
        EXPECT_EQ(test::readExifDates(folder.read("dated.jpg")), expected) << r.zone << " " << r.seconds;
    }
}

// The Exif segment follows the JFIF header, the rest is the encoder's bytes,
// and the pixels decode the same; with no time it holds the mark alone.
TEST(SaveJPEG, ExifFollowsTheJfifHeaderAndLeavesThePixels)
{
    ZoneScope zone("UTC");
    TempFolder folder;
    RecordingMessageSink messages;
    const QByteArray jpeg = encodedPicture(folder);
    ASSERT_TRUE(jpeg.startsWith("\xFF\xD8\xFF\xE0") && jpeg.mid(6, 5) == QByteArray("JFIF\0", 5));
    const QImage plainImage = QImage::fromData(jpeg);
    for (const std::optional<FileTime> time : {std::optional<FileTime>(FileTime{1700000000, 0}), std::optional<FileTime>()}) {
        ASSERT_TRUE(SaveJPEG(folder.filePath("saved.jpg"), 0, jpeg, time, messages));
        const QByteArray saved = folder.read("saved.jpg");
        const qsizetype app0End = segmentEnd(jpeg, 2);
        EXPECT_EQ(saved.left(app0End), jpeg.left(app0End));
        EXPECT_EQ(saved.mid(app0End, 2), QByteArray("\xFF\xE1"));
        EXPECT_EQ(saved.mid(app0End + 4, 6), QByteArray("Exif\0\0", 6));
        EXPECT_EQ(saved.mid(segmentEnd(saved, app0End)), jpeg.mid(app0End));
        const QImage savedImage = QImage::fromData(saved);
        EXPECT_FALSE(savedImage.isNull());
        EXPECT_EQ(savedImage, plainImage);
        EXPECT_EQ(test::readExifDates(saved).software, kSoftwareMark);
        EXPECT_EQ(test::readExifDates(saved).dateTime.empty(), !time);
    }
}

// Exif dates have four-digit years: a time outside them gets the mark alone.
TEST(ExifSegment, DatesOnlyForFourDigitYears)
{
    ZoneScope zone("UTC");
    const QByteArray jpeg("\xFF\xD8\xFF\xDB", 4);
    const struct { std::time_t seconds; const char *local; } rows[] = {
        {-62135596800, "0001:01:01 00:00:00"}, {253402300799, "9999:12:31 23:59:59"},
        {-62135596801, ""}, {253402300800, ""}};
    for (const auto &r : rows) {
        const test::ExifDates dates = test::readExifDates(withExif(jpeg, FileTime{r.seconds, 0}));
        EXPECT_EQ(dates.dateTimeOriginal, r.local) << r.seconds;
        EXPECT_EQ(dates.software, kSoftwareMark) << r.seconds;
    }
}

// Only the program's own mark counts, in an Exif segment among the
// application segments that open a JPEG; a file is read only as far as
// those, never followed through a link nor waited on.
TEST(FileCarriesProgramMark, KnowsTheProgramsJpegsAndNoOthers)
{
    TempFolder folder;
    const QByteArray plain = encodedPicture(folder);
    const QByteArray ours = withExif(plain, FileTime{1700000000, 0});
    const qsizetype app0End = segmentEnd(plain, 2);
    const QByteArray oursSegment = ours.mid(app0End, segmentEnd(ours, app0End) - app0End);
    // The same segment naming another program, of the same length.
    QByteArray othersSegment = oursSegment;
    const qsizetype markAt = othersSegment.indexOf(kSoftwareMark);
    othersSegment.replace(markAt, 5, "OTHER");
    const QByteArray app2 = markerSegment(0xE2, "ICC_PROFILE and more");
    const struct {
        const char *what;
        QByteArray bytes;
        bool marked;
    } rows[] = {
        {"written by the program", ours, true},
        {"written without a time", withExif(plain, std::nullopt), true},
        {"after another application segment", plain.left(app0End) + app2 + oursSegment + plain.mid(app0End), true},
        {"no Exif", plain, false},
        {"another program's Exif", plain.left(app0End) + othersSegment + plain.mid(app0End), false},
        {"the mark cut short", plain.left(app0End) + oursSegment.left(oursSegment.size() - 40), false},
        {"the mark after the picture data starts", plain + oursSegment, false},
        {"not a JPEG", QByteArray("GIF89a") + oursSegment, false},
        {"empty", QByteArray(), false},
    };
    for (const auto &r : rows)
        EXPECT_EQ(fileCarriesProgramMark(folder.written("x.jpg", r.bytes)), r.marked) << r.what;
    ASSERT_TRUE(QFile::link(folder.file("x.jpg"), folder.file("link.jpg")));
    folder.write("x.jpg", ours);
    EXPECT_FALSE(fileCarriesProgramMark(folder.filePath("link.jpg")));
    EXPECT_FALSE(fileCarriesProgramMark(folder.filePath("missing.jpg")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file("pipe.jpg")).constData(), 0644), 0);
    EXPECT_FALSE(fileCarriesProgramMark(folder.filePath("pipe.jpg")));
    ASSERT_TRUE(QDir(folder.path()).mkdir("folder.jpg"));
    EXPECT_FALSE(fileCarriesProgramMark(folder.filePath("folder.jpg")));
}

// A segment goes after the start marker and any APP0; bytes that do not
// start a JPEG, or end inside their APP0, are left as they are.
TEST(InsertAfterJfifHeader, PlacesTheSegmentOrLeavesOddBytes)
{
    struct Row { QByteArray jpeg, expected; };
    const QByteArray s("\xFF\xE1\x00\x02", 4);
    const Row rows[] = {
        {QByteArray("\xFF\xD8\xFF\xE0\x00\x03J\xFF\xDB", 9), QByteArray("\xFF\xD8\xFF\xE0\x00\x03J", 7) + s + "\xFF\xDB"},
        {QByteArray("\xFF\xD8\xFF\xDB", 4), QByteArray("\xFF\xD8", 2) + s + "\xFF\xDB"},
        {QByteArray("\xFF\xD8\xFF\xE0\x00\x10J", 7), QByteArray("\xFF\xD8\xFF\xE0\x00\x10J", 7)},
        {QByteArray("GIF89a"), QByteArray("GIF89a")},
    };
    for (const Row &r : rows)
        EXPECT_EQ(insertAfterJfifHeader(r.jpeg, s), r.expected) << r.jpeg.toHex().constData();
}

} // namespace
} // namespace grelm
