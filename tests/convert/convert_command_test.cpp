// The whole Convert command headless: the Thumbs folder, both passes, the
// thumbnail branch, the deletion rule, the one wrong-path message, and the
// same outcome whether files are prepared on worker threads or not.
#include "core/errors.h"
#include "core/file_stamp.h"
#include "convert_run.h"
#include "imaging/exif_dates.h"
#include "support/bmp_builder.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QRegularExpression>
#include <QThread>

#include <functional>
#include <tuple>

#include <gtest/gtest.h>

using namespace grelm;
using grelm::test::ConvertRun;
using grelm::test::entries;
using grelm::test::screenshotFile;
using grelm::test::TempFolder;

namespace {

const Message kWrongPath = wrongPathMessage();

const QString kJournal = QStringLiteral(".grelm-thumbnails");

// Every file below `folder` with its bytes, by relative path. The thumbnail
// journal holds the times of the screenshots, which differ from run to run,
// so only its presence counts.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        files.insert(QDir(folder).relativeFilePath(path), it.fileName() == kJournal ? QByteArray() : f.readAll());
    }
    return files;
}

// Runs the command with thumbnails and closes the window during the
// thumbnail pass, after its first file: the later bitmaps stay in Thumbs.
void interruptDuringTheThumbnailPass(ConvertRun &run)
{
    run.view.thumbs = true;
    run.view.onYield = [&](int) {
        if (run.view.steps.count("caption:Creating thumbnails... (0 of 0)") == 2)
            run.view.stop = true;
    };
    run.command();
    run.view.stop = false;
    run.view.onYield = nullptr;
}

// A journal of Thumbs as `version` writes it: records of a bitmap name, the
// base of its "th_" JPEG, the time, and from version 2 on the size and
// SHA-256 of the bitmap's bytes.
QByteArray journalFile(int version, const std::vector<std::tuple<QByteArray, QByteArray, long long, QByteArray>> &records)
{
    QByteArray bytes = "grelm thumbnails " + QByteArray::number(version) + '\0';
    for (const auto &[name, base, seconds, bitmap] : records) {
        bytes += name + '\0' + base + '\0' + QByteArray::number(seconds) + '\0' + "0" + '\0';
        if (version >= 2)
            bytes += QByteArray::number(bitmap.size()) + '\0'
                     + QCryptographicHash::hash(bitmap, QCryptographicHash::Sha256).toHex() + '\0';
    }
    return bytes;
}

} // namespace

TEST(ConvertCommand, MakesThumbsAndConvertsWithoutDeletingWhenThumbnailsAreOff)
{
    ConvertRun run;
    run.screenshot("Shot01.BMP");
    run.view.deleteSource = true;
    run.command();
    EXPECT_TRUE(run.messages.messages.empty());
    EXPECT_TRUE(QFileInfo(run.dir.file("Thumbs")).isDir());
    EXPECT_EQ(entries(run.dir.path()), QStringList({"Shot01.BMP", "Thumbs", "shot01.jpg"}));
    EXPECT_TRUE(entries(run.dir.file("Thumbs")).isEmpty());
}

TEST(ConvertCommand, FailuresBeforeAnyFileEndWithTheWrongPathMessageAndWriteNothing)
{
    for (const QString folder : {"", "missing"}) {
        ConvertRun run;
        run.screenshot("shot.bmp");
        run.view.folder = folder.isEmpty() ? FilePath() : run.dir.filePath("missing");
        run.command();
        EXPECT_EQ(run.messages.messages, std::vector<Message>({kWrongPath})) << folder.toStdString();
        EXPECT_EQ(entries(run.dir.path()), QStringList({"shot.bmp"}));
        EXPECT_TRUE(run.view.steps.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists("/Thumbs"));
}

TEST(ConvertCommand, ThumbnailsAreNamedConvertedAndTheirBitmapsRemoved)
{
    for (const bool deleteSource : {false, true}) {
        ConvertRun run;
        run.screenshot("Shot01.BMP", 640, 480);
        run.screenshot("tall.bmp", 48, 64, 2);
        run.view.thumbs = true;
        run.view.deleteSource = deleteSource;
        run.view.width = " 70 ";
        run.command();
        EXPECT_TRUE(run.messages.messages.empty());
        EXPECT_EQ(entries(run.dir.file("Thumbs")), QStringList({"th_shot01.jpg", "th_tall.jpg"}));
        EXPECT_EQ(QImage(run.dir.file("Thumbs/th_shot01.jpg")).size(), QSize(70, 52));
        EXPECT_EQ(QImage(run.dir.file("Thumbs/th_tall.jpg")).size(), QSize(48, 64)); // never enlarged
        const QStringList kept = deleteSource ? QStringList({"Thumbs", "shot01.jpg", "tall.jpg"})
                                              : QStringList({"Shot01.BMP", "Thumbs", "shot01.jpg", "tall.bmp", "tall.jpg"});
        EXPECT_EQ(entries(run.dir.path()), kept);
    }
}

TEST(ConvertCommand, ABadWidthEndsTheCommandBeforeAnyThumbnail)
{
    for (const QString width : {"abc", "", "0", "-5", "99999999999"}) {
        ConvertRun run;
        run.screenshot("a.bmp");
        run.screenshot("b.bmp");
        run.view.thumbs = true;
        run.view.deleteSource = true;
        run.view.width = width;
        run.command();
        EXPECT_TRUE(run.ended()) << width.toStdString();
        EXPECT_EQ(run.messages.messages.size(), 1u);
        EXPECT_TRUE(entries(run.dir.file("Thumbs")).isEmpty()) << width.toStdString();
        EXPECT_EQ(entries(run.dir.path()), QStringList({"Thumbs", "a.bmp", "a.jpg", "b.bmp", "b.jpg"}));
    }
}

TEST(ConvertCommand, AFolderWithoutScreenshotsNeverReadsTheWidth)
{
    ConvertRun run;
    run.view.thumbs = true;
    run.view.width = "not a number";
    run.command();
    EXPECT_TRUE(run.messages.messages.empty());
    EXPECT_EQ(run.view.widthReads, 0);
    EXPECT_TRUE(run.view.steps.isEmpty());
}

TEST(ConvertCommand, ASourceIsDeletedOnlyWhenBothItsJpegsWereWritten)
{
    ConvertRun run;
    run.screenshot("good.bmp");
    run.screenshot("nojpeg.bmp");
    QDir(run.dir.path()).mkpath("nojpeg.jpg");          // its screenshot JPEG cannot be written
    run.screenshot("nothumb.bmp");
    QDir(run.dir.path()).mkpath("Thumbs/th_nothumb.jpg"); // its thumbnail JPEG cannot be written
    run.screenshot("Thumbs/orphan.bmp", 8, 8, 5); // not written by the program
    run.view.thumbs = true;
    run.view.deleteSource = true;
    run.command();

    EXPECT_FALSE(run.ended());
    EXPECT_EQ(entries(run.dir.path()), QStringList({"Thumbs", "good.jpg", "nojpeg.bmp", "nojpeg.jpg", "nothumb.bmp",
                                                    "nothumb.jpg"}));
    // The thumbnail bitmap whose JPEG failed is kept and stays in the journal;
    // a bitmap the program did not write is left alone.
    EXPECT_EQ(entries(run.dir.file("Thumbs")), QStringList({kJournal, "nothumb.bmp", "orphan.bmp", "th_good.jpg",
                                                            "th_nojpeg.jpg", "th_nothumb.jpg"}));
    EXPECT_EQ(run.messages.messages.size(), 2u); // the two failed writes
}

TEST(ConvertCommand, NamesThatDifferOnlyInCaseKeepTheirOwnFilesAndAreNotDeleted)
{
    ConvertRun run;
    run.screenshot("Shot.bmp", 64, 48, 1);
    run.screenshot("shot.BMP", 64, 48, 2);
    run.view.thumbs = true;
    run.view.deleteSource = true;
    run.command();
    EXPECT_TRUE(run.messages.messages.empty());
    EXPECT_EQ(entries(run.dir.path()), QStringList({"Shot.bmp", "Shot.jpg", "Thumbs", "shot.BMP", "shot.jpg"}));
    EXPECT_EQ(entries(run.dir.file("Thumbs")), QStringList({"th_Shot.jpg", "th_shot.jpg"}));
    EXPECT_NE(run.dir.read("Shot.jpg"), run.dir.read("shot.jpg"));
}

TEST(ConvertCommand, LeftoverThumbnailBitmapsAreReplaced)
{
    ConvertRun run;
    run.screenshot("Shot01.BMP", 640, 480);
    run.dir.write("Thumbs/shot01.bmp", "a half-written thumbnail from an earlier run");
    run.view.thumbs = true;
    run.command();
    EXPECT_TRUE(run.messages.messages.empty());
    EXPECT_EQ(entries(run.dir.file("Thumbs")), QStringList({"th_shot01.jpg"}));
    EXPECT_EQ(QImage(run.dir.file("Thumbs/th_shot01.jpg")).size(), QSize(70, 52));
}

TEST(ConvertCommand, AThumbsFileInTheWayEndsTheCommandAfterTheScreenshotPass)
{
    ConvertRun run;
    run.screenshot("a.bmp");
    run.dir.write("Thumbs", "a file, not a folder");
    run.view.thumbs = true;
    run.command();
    EXPECT_EQ(run.messages.messages, std::vector<Message>({kWrongPath}));
    EXPECT_EQ(entries(run.dir.path()), QStringList({"Thumbs", "a.bmp", "a.jpg"}));
}

TEST(ConvertCommand, AnErrorInTheMiddleLeavesEverythingAfterItUntouched)
{
    for (const bool sequential : {true, false}) {
        ConvertRun run(sequential, 2);
        for (int i = 0; i < 12; ++i)
            run.screenshot(QStringLiteral("s%1.bmp").arg(i, 2, 10, QChar(u'0')), 160, 120, i);
        run.dir.write("s05.bmp", "BM not a picture"); // thumbnails cannot be made from it
        run.view.thumbs = true;
        run.view.deleteSource = true;
        run.command();
        EXPECT_TRUE(run.ended());
        // Every screenshot stays; thumbnails exist up to the failing one only.
        EXPECT_EQ(entries(run.dir.file("Thumbs")), QStringList({kJournal, "s00.bmp", "s01.bmp", "s02.bmp", "s03.bmp", "s04.bmp"}))
            << sequential;
        for (int i = 0; i < 12; ++i)
            EXPECT_TRUE(run.dir.exists(QStringLiteral("s%1.bmp").arg(i, 2, 10, QChar(u'0'))));
    }
}

TEST(ConvertCommand, FilesDecidedAgainstWhileBeingMadeLeaveNothingBehind)
{
    // The workers write each file ahead under a hidden name, and the window's
    // thread gives it its name in order; whatever the window closes or
    // unticks in the meantime must be removed.
    enum class Moment { ClosedInScreenshotPass, ClosedWhileMakingBitmaps, UntickedWhileMakingBitmaps, ClosedInThumbnailPass };
    struct Row {
        Moment moment;
        bool journalStays;
        const char *made; ///< the files made before that moment, in the game folder or Thumbs
        bool inThumbs;
    };
    const Row rows[] = {
        {Moment::ClosedInScreenshotPass, false, "\\.jpg$", false},
        {Moment::ClosedWhileMakingBitmaps, true, "\\.bmp$", true},
        {Moment::UntickedWhileMakingBitmaps, false, "^th_", true}, // the thumbnail pass converts those made
        {Moment::ClosedInThumbnailPass, true, "^th_", true},
    };
    for (const Row &row : rows) {
        for (const bool sequential : {true, false}) {
            ConvertRun run(sequential, 2);
            for (int i = 0; i < 10; ++i)
                run.screenshot(QStringLiteral("s%1.bmp").arg(i), 64, 48, i);
            run.view.thumbs = true;
            int readsWhileMaking = 0;
            run.view.onWidthRead = [&](int) {
                if (run.view.steps.count(QStringLiteral("hide")) != 1 || ++readsWhileMaking != 4)
                    return;
                if (row.moment == Moment::ClosedWhileMakingBitmaps)
                    run.view.stop = true;
                if (row.moment == Moment::UntickedWhileMakingBitmaps)
                    run.view.thumbs = false;
            };
            run.view.onYield = [&](int) {
                if (row.moment == Moment::ClosedInScreenshotPass && run.view.steps.contains("caption:Converting (3 of 0)"))
                    run.view.stop = true;
                if (row.moment == Moment::ClosedInThumbnailPass
                    && run.view.steps.count("caption:Creating thumbnails... (0 of 0)") >= 2)
                    run.view.stop = true;
            };
            run.command();
            const auto hidden = QRegularExpression(QStringLiteral("^\\."));
            const QStringList thumbs = entries(run.dir.file("Thumbs"));
            EXPECT_EQ(thumbs.filter(hidden), row.journalStays ? QStringList({kJournal}) : QStringList())
                << int(row.moment) << sequential;
            EXPECT_EQ(entries(run.dir.path()).filter(hidden), QStringList()) << int(row.moment) << sequential;
            const QStringList made =
                (row.inThumbs ? thumbs : entries(run.dir.path())).filter(QRegularExpression(QString::fromLatin1(row.made)));
            EXPECT_FALSE(made.isEmpty()) << int(row.moment) << sequential;
            EXPECT_LT(made.size(), 10) << int(row.moment) << sequential;
        }
    }
}

TEST(ConvertCommand, WorkerThreadsGiveTheSameFilesMessagesAndDeletionsAsOneThread)
{
    const struct {
        const char *what;
        QString count;
        std::function<void(ConvertRun &)> arrange;
        bool ends;
    } rows[] = {
        {"an unloadable screenshot ends the command in the thumbnail branch", "7",
         [](ConvertRun &run) { run.dir.write("s3.bmp", "BM unloadable"); }, true},
        {"leftover thumbnail bitmaps go through the thumbnail pass", "10",
         [](ConvertRun &run) {
             run.dir.write("Thumbs/s9.bmp", "BM a leftover that is replaced");
             run.dir.write("Thumbs/zz.bmp", "BM a leftover that cannot be loaded");
         },
         false},
    };
    for (const auto &row : rows) {
        auto prepare = [&row](ConvertRun &run) {
            run.numberedScreenshots(10);
            QDir(run.dir.path()).mkpath("s6.jpg");
            QDir(run.dir.path()).mkpath("Thumbs/th_s8.jpg");
            row.arrange(run);
            run.view.thumbs = true;
            run.view.deleteSource = true;
            run.view.count = row.count;
        };
        ConvertRun sequential(true);
        prepare(sequential);
        sequential.command();
        EXPECT_EQ(sequential.ended(), row.ends) << row.what;
        for (const int workers : {1, 2, 4}) {
            ConvertRun threaded(false, workers);
            prepare(threaded);
            threaded.command();
            EXPECT_EQ(snapshot(threaded.dir.path()), snapshot(sequential.dir.path())) << row.what << ", " << workers;
            EXPECT_EQ(threaded.messages.messages, sequential.messages.messages) << row.what << ", " << workers;
            EXPECT_EQ(threaded.view.stepsWithoutYields(), sequential.view.stepsWithoutYields()) << row.what << ", " << workers;
        }
    }
}

namespace {

// A tiny run-length bitmap that claims a large size: a few bands of colour
// near the bottom, the rest palette entry 0.
QByteArray claimingRleBitmap(int width, int height, int seed)
{
    QByteArray stream;
    for (int y = 0; y < 8; ++y) {
        for (int left = width; left > 0; left -= 200)
            stream += test::bytes({std::min(left, 200), (y + seed) % 4});
        stream += test::bytes({0, 0});
    }
    stream += test::bytes({0, 1});
    const std::vector<QRgb> palette{qRgb(0, 0, 0), qRgb(200, 40, 10), qRgb(10, 160, 60), qRgb(seed * 40, 90, 220)};
    return test::BmpBuilder(width, height, 8).compression(test::BmpBuilder::Rle8).palette(palette).pixels(stream).build();
}

} // namespace

TEST(ConvertCommand, PicturesLargerThanTheMemoryBudgetGiveTheSameFilesAsOneThread)
{
    // 4096 x 3072 takes 36 MiB of pixels and more for the JPEG, so its
    // buffers are freed after each picture. With a budget of one byte every
    // picture runs alone; with 200 MiB a large one runs beside small ones but
    // the next large one waits for room.
    auto prepare = [](ConvertRun &run) {
        for (int i = 0; i < 3; ++i)
            run.dir.write(QStringLiteral("big%1.bmp").arg(i), claimingRleBitmap(4096, 3072, i));
        run.screenshot("small0.bmp", 320, 200, 1);
        run.screenshot("small1.bmp", 64, 48, 2);
        for (const char *name : {"big0.bmp", "big1.bmp", "big2.bmp", "small0.bmp", "small1.bmp"})
            run.dir.setModified(name, 1700000000); // the JPEGs carry the time: equal runs need equal times
        run.view.thumbs = true;
    };
    ConvertRun sequential(true);
    prepare(sequential);
    sequential.command();
    const struct { int workers; std::uint64_t budget; } rows[] = {
        {4, 1}, {3, 200ull << 20}, {2, ConvertThreading().memoryBudget}};
    for (const auto &r : rows) {
        ConvertRun threaded(false, r.workers);
        threaded.threading.memoryBudget = r.budget;
        prepare(threaded);
        threaded.command();
        EXPECT_EQ(snapshot(threaded.dir.path()), snapshot(sequential.dir.path())) << r.workers << " " << r.budget;
        EXPECT_EQ(threaded.messages.messages, sequential.messages.messages) << r.workers << " " << r.budget;
    }
}

TEST(ConvertCommand, AScreenshotChangedDuringTheCommandIsNeitherThumbnailedFromOldPixelsNorDeleted)
{
    // Worker threads reduce each screenshot while the screenshot pass has it
    // loaded. A screenshot saved over after its JPEG was written gets no
    // thumbnail in this command; one saved over after its thumbnail was made
    // is not deleted. Either way its new picture stays for the next Convert.
    enum When { Never, DuringScreenshotPass, BetweenPasses };
    const struct {
        const char *what;
        When rewrite;
        QString width;
        QSize thumbnail; ///< of th_s0.jpg; 0 x 0 when there is none
    } rows[] = {
        {"nothing changes", Never, "70", {64, 48}},
        {"the screenshot is rewritten after its JPEG", DuringScreenshotPass, "70", {0, 0}},
        {"the screenshot is rewritten before its deletion", BetweenPasses, "70", {64, 48}},
        {"the width is changed", Never, "32", {32, 24}},
    };
    for (const auto &row : rows) {
        ConvertRun run(false, 2);
        for (int i = 0; i < 6; ++i)
            run.screenshot(QStringLiteral("s%1.bmp").arg(i), 64, 48, i);
        run.view.thumbs = true;
        run.view.deleteSource = true;
        const QByteArray rewritten = screenshotFile(640, 480, 9);
        bool rewrote = false;
        run.view.onYield = [&](int) {
            if (!run.view.steps.contains("caption:Converting (5 of 0)"))
                return;
            // The thumbnail pass's first caption follows the deletion of s0.
            const bool thumbnailPass = run.view.steps.count("caption:Creating thumbnails... (0 of 0)") == 2;
            // Once only: a later rewrite could meet a worker thread reading the file half-written.
            if (!rewrote && ((row.rewrite == DuringScreenshotPass && !thumbnailPass)
                             || (row.rewrite == BetweenPasses && thumbnailPass))) {
                run.dir.write(row.rewrite == BetweenPasses ? "s5.bmp" : "s0.bmp", rewritten);
                rewrote = true;
            }
            run.view.width = row.width;
        };
        run.command();
        EXPECT_TRUE(run.messages.messages.empty()) << row.what;
        EXPECT_EQ(QImage(run.dir.file("Thumbs/th_s0.jpg")).size(), row.thumbnail) << row.what;
        const QString changed = row.rewrite == BetweenPasses ? "s5.bmp" : "s0.bmp";
        EXPECT_EQ(run.dir.exists(changed), row.rewrite != Never) << row.what;
        if (row.rewrite != Never) {
            EXPECT_EQ(run.dir.read(changed), rewritten) << row.what;
        }
    }
}

TEST(ConvertCommand, AJpegOlderThanItsScreenshotIsNeverReplaced)
{
    // The game reuses a screenshot's name once its bitmap is gone. A JPEG of
    // the screenshot's own time (within the 2 s a FAT Thumbs keeps) is
    // replaced, a newer one of another tool (or a file that is no JPEG) too;
    // an older one is an earlier picture, and a newer one the program marked
    // as its own was made for a picture dated later by a clock that was ahead:
    // the screenshot then takes the next free "_n" for both its JPEGs.
    constexpr long long kShot = 1600000000;
    enum Age : long long { Older = -100, Newer = 100, TwoSecondsBefore = -2, ThreeHoursAhead = 3 * 3600 };
    enum Content { NoJpeg, Ours, Theirs };
    struct Existing {
        QString name;
        Age age;
        Content content = NoJpeg;
        long nanoseconds = 0;
    };
    const auto bytesOf = [](Content content, long long seconds) {
        const QByteArray jpeg("\xFF\xD8\xFF\xE0\x00\x02\xFF\xD9", 8);
        return content == NoJpeg ? QByteArray("an older picture")
                                 : content == Ours ? withExif(jpeg, FileTime{seconds, 0}) : jpeg;
    };
    const QString longBase(251, u'a');
    const struct {
        const char *what;
        bool thumbs;
        QStringList screenshots;
        std::vector<Existing> existing; ///< kept unless listed in `made`
        QStringList made;               ///< written by this Convert
        std::size_t failures = 0;
    } rows[] = {
        {"a reused name, thumbnails off", false, {"x.bmp"}, {{"x.jpg", Older}}, {"x_1.jpg"}},
        {"a reused name, thumbnails on", true, {"x.bmp"}, {{"x.jpg", Older}, {"Thumbs/th_x.jpg", Older}},
         {"x_1.jpg", "Thumbs/th_x_1.jpg"}},
        {"only the thumbnail JPEG is left", true, {"x.bmp"}, {{"Thumbs/th_x.jpg", Older}}, {"x_1.jpg", "Thumbs/th_x_1.jpg"}},
        {"the same, thumbnails off", false, {"x.bmp"}, {{"Thumbs/th_x.jpg", Older}}, {"x_1.jpg"}},
        {"newer files that are no JPEG", true, {"x.bmp"}, {{"x.jpg", Newer}, {"Thumbs/th_x.jpg", Newer}},
         {"x.jpg", "Thumbs/th_x.jpg"}},
        {"newer JPEGs of another tool", true, {"x.bmp"}, {{"x.jpg", Newer, Theirs}, {"Thumbs/th_x.jpg", Newer, Theirs}},
         {"x.jpg", "Thumbs/th_x.jpg"}},
        {"the program's JPEGs of a picture from a clock that was ahead", true, {"x.bmp"},
         {{"x.jpg", ThreeHoursAhead, Ours}, {"Thumbs/th_x.jpg", ThreeHoursAhead, Ours}}, {"x_1.jpg", "Thumbs/th_x_1.jpg"}},
        {"only its thumbnail JPEG is the program's and newer", true, {"x.bmp"},
         {{"x.jpg", Newer, Theirs}, {"Thumbs/th_x.jpg", Newer, Ours}}, {"x_1.jpg", "Thumbs/th_x_1.jpg"}},
        {"its own JPEGs, dated by a file system of even seconds", true, {"x.bmp"},
         {{"x.jpg", TwoSecondsBefore, Ours}, {"Thumbs/th_x.jpg", TwoSecondsBefore, Ours}}, {"x.jpg", "Thumbs/th_x.jpg"}},
        {"a picture saved over its name 1.5 s later, where times keep their fractions", false, {"x.bmp"},
         {{"x.jpg", TwoSecondsBefore, Ours, 500000000}}, {"x_1.jpg"}},
        {"case twins", false, {"X.bmp", "x.bmp"}, {{"x.jpg", Older}}, {"X.jpg", "x_1.jpg"}},
        {"x_1.bmp beside x.bmp", false, {"x.bmp", "x_1.bmp"}, {{"x.jpg", Older}}, {"x_2.jpg", "x_1.jpg"}},
        {"taken earlier in the pass", false, {"x.bmp", "x.BMP"}, {{"x.jpg", Older}}, {"x.bmp.jpg", "x.BMP.jpg"}},
        {"no longer name fits", false, {longBase + ".bmp"}, {{longBase + ".jpg", Older}}, {}, 1},
        {"a long name of its own time", false, {longBase + ".bmp"}, {}, {longBase + ".jpg"}},
        {"no room for the thumbnail's th_", true, {longBase + ".bmp"}, {}, {longBase + ".jpg"}, 1},
    };
    for (const auto &row : rows) {
        ConvertRun run;
        for (const QString &name : row.screenshots) {
            run.screenshot(name);
            run.dir.setModified(name, kShot);
        }
        for (const Existing &e : row.existing) {
            run.dir.write(e.name, bytesOf(e.content, kShot + e.age));
            run.dir.setModified(e.name, kShot + e.age, e.nanoseconds);
        }
        run.view.thumbs = row.thumbs;
        run.command();
        EXPECT_EQ(run.messages.messages.size(), row.failures) << row.what;
        for (const QString &name : row.made)
            EXPECT_FALSE(QImage(run.dir.file(name)).isNull()) << row.what << ": " << name.toStdString();
        for (const Existing &e : row.existing) {
            if (!row.made.contains(e.name)) {
                EXPECT_EQ(run.dir.read(e.name), bytesOf(e.content, kShot + e.age)) << row.what << ": " << e.name.toStdString();
            }
        }
        // A thumbnail is converted or never made: no bitmap stays behind.
        EXPECT_TRUE(entries(run.dir.file("Thumbs")).filter(QRegularExpression("\\.bmp$")).isEmpty()) << row.what;
        for (const QString &name : row.screenshots)
            EXPECT_EQ(run.dir.exists(name), true) << row.what;
    }
}

TEST(ConvertCommand, ReconvertingReplacesItsOwnJpegsAndDeletionCountsThemUnderTheirNames)
{
    for (const bool thumbs : {false, true}) {
        ConvertRun run;
        run.screenshot("x.bmp");
        run.dir.write("x.jpg", "older");
        run.dir.setModified("x.jpg", 1);
        run.view.thumbs = thumbs;
        run.command();
        const auto first = fileStamp(run.dir.filePath("x_1.jpg"));
        run.view.deleteSource = true;
        run.command();
        const auto second = fileStamp(run.dir.filePath("x_1.jpg"));
        ASSERT_TRUE(first && second);
        EXPECT_NE(first->inode, second->inode) << thumbs; // replaced by a new file of the same name
        EXPECT_FALSE(run.dir.exists("x_2.jpg")) << thumbs;
        EXPECT_EQ(run.dir.read("x.jpg"), "older") << thumbs;
        // With thumbnails the screenshot goes once both of its JPEGs are written.
        EXPECT_EQ(run.dir.exists("x.bmp"), !thumbs) << thumbs;
        EXPECT_EQ(run.dir.exists("Thumbs/th_x_1.jpg"), thumbs) << thumbs;
    }
}

TEST(ConvertCommand, AThumbsThatIsTheGameFolderItselfIsRefusedBeforeAnythingIsWritten)
{
    for (const bool tickedDuringThePass : {false, true}) {
        ConvertRun run;
        for (int i = 0; i < 4; ++i)
            run.screenshot(QStringLiteral("s%1.bmp").arg(i), 64, 48, i);
        ASSERT_TRUE(QFile::link(run.dir.path(), run.dir.file("Thumbs")));
        const auto before = snapshot(run.dir.path());
        run.view.thumbs = !tickedDuringThePass;
        run.view.onYield = [&](int) { run.view.thumbs = true; };
        run.command();
        EXPECT_TRUE(run.ended()) << tickedDuringThePass;
        for (int i = 0; i < 4; ++i) {
            const QString name = QStringLiteral("s%1.bmp").arg(i);
            EXPECT_EQ(run.dir.read(name), before.value(name)) << tickedDuringThePass;
        }
        // Ticked late, the screenshot pass ran and wrote only JPEGs.
        EXPECT_EQ(run.dir.exists("s0.jpg"), tickedDuringThePass);
        EXPECT_FALSE(run.dir.exists("th_s0.jpg"));
    }
}

TEST(ConvertCommand, ThumbnailBitmapsOfAnInterruptedCommandAreConvertedOnceLater)
{
    ConvertRun run;
    for (int i = 0; i < 6; ++i)
        run.screenshot(QStringLiteral("s%1.bmp").arg(i), 64, 48, i);
    interruptDuringTheThumbnailPass(run);
    ASSERT_TRUE(run.dir.exists("Thumbs/s5.bmp"));
    ASSERT_FALSE(run.dir.exists("Thumbs/th_s5.jpg"));
    QFile::remove(run.dir.file("s5.bmp")); // its screenshot is gone meanwhile
    run.view.thumbs = false;
    run.command(); // thumbnails off: Thumbs is not touched
    EXPECT_TRUE(run.dir.exists("Thumbs/s5.bmp"));
    run.view.thumbs = true;
    run.command();
    EXPECT_TRUE(run.messages.messages.empty());
    EXPECT_EQ(entries(run.dir.file("Thumbs")), QStringList({"th_s0.jpg", "th_s1.jpg", "th_s2.jpg", "th_s3.jpg",
                                                            "th_s4.jpg", "th_s5.jpg"}));
}

TEST(ConvertCommand, TheOneHandlerKeepsTheCauseAndTellsRunningOutOfMemoryApart)
{
    const struct {
        const char *what;
        std::function<void()> fail;
        Message shown;
        QString detail;
    } rows[] = {
        {"out of memory", [] { throw std::bad_alloc(); }, outOfMemoryMessage(), "std::bad_alloc"},
        {"a file error", [] { throw FileError("Cannot make /x/Thumbs: Read-only file system"); }, wrongPathMessage(),
         "Cannot make /x/Thumbs: Read-only file system"},
        {"a logic error", [] { throw std::logic_error("a broken promise"); }, wrongPathMessage(), "a broken promise"},
    };
    for (const auto &row : rows) {
        ConvertRun run;
        run.view.onGameFolder = row.fail; // fails as the command first reads the game folder
        run.command();
        ASSERT_EQ(run.messages.messages, std::vector<Message>({row.shown})) << row.what;
        EXPECT_EQ(run.messages.messages[0].detail, row.detail) << row.what;
    }
}

TEST(ConvertCommand, NamesThatAreNotUtf8AreConvertedUnderTheirOwnBytes)
{
    for (const bool gameFolderToo : {false, true}) {
        ConvertRun run;
        const QByteArray sub = gameFolderToo ? QByteArray("Jeux \xe9t\xe9/") : QByteArray();
        if (gameFolderToo)
            run.view.folder = run.dir.mkdirRaw("Jeux \xe9t\xe9");
        run.dir.writeRaw(sub + "CAF\xc9.bmp", screenshotFile(64, 48, 1));
        run.dir.writeRaw(sub + "ok.bmp", screenshotFile(64, 48, 2));
        run.view.thumbs = true;
        run.view.deleteSource = true;
        run.command();
        EXPECT_TRUE(run.messages.messages.empty()) << gameFolderToo;
        for (const QByteArray name : {"caf\xc9.jpg", "Thumbs/th_caf\xc9.jpg", "ok.jpg", "Thumbs/th_ok.jpg"})
            EXPECT_TRUE(run.dir.existsRaw(sub + name)) << name.toHex().constData();
        EXPECT_FALSE(run.dir.existsRaw(sub + "CAF\xc9.bmp")) << gameFolderToo; // deleted once both JPEGs were written
        EXPECT_FALSE(run.dir.existsRaw(sub + "Thumbs/caf\xc9.bmp")) << gameFolderToo;
    }
}

TEST(ConvertCommand, AClockThatWasAheadNeverCostsTheOlderPictureItsJpegs)
{
    // Converted with thumbnails and deletion while the clock was three hours
    // ahead; once it is put right the game reuses the name. The new picture
    // gets "_1" names and keeps them over later Converts, also where Thumbs
    // keeps times only to even seconds (FAT): simulated by cutting the times
    // of the thumbnail JPEG the program wrote there.
    constexpr long long kCorrected = 1600000001;
    constexpr long kFraction = 700000000; // the screenshot's time is 0.7 s past a whole second
    for (const bool evenSeconds : {false, true}) {
        ConvertRun run;
        run.screenshot("x.bmp", 64, 48, 1);
        run.dir.setModified("x.bmp", kCorrected + 3 * 3600, kFraction);
        run.view.thumbs = true;
        run.view.deleteSource = true;
        run.command();
        ASSERT_FALSE(run.dir.exists("x.bmp"));
        const QByteArray older = run.dir.read("x.jpg"), olderThumbnail = run.dir.read("Thumbs/th_x.jpg");
        ASSERT_FALSE(older.isEmpty() || olderThumbnail.isEmpty());

        run.screenshot("x.bmp", 64, 48, 2);
        run.dir.setModified("x.bmp", kCorrected, kFraction);
        run.view.deleteSource = false;
        for (int convert = 0; convert < 3; ++convert) {
            run.command();
            EXPECT_TRUE(run.messages.messages.empty()) << evenSeconds << convert;
            if (evenSeconds)
                run.dir.setModified("Thumbs/th_x_1.jpg", kCorrected / 2 * 2);
        }
        EXPECT_EQ(run.dir.read("x.jpg"), older) << evenSeconds;
        EXPECT_EQ(run.dir.read("Thumbs/th_x.jpg"), olderThumbnail) << evenSeconds;
        EXPECT_EQ(entries(run.dir.path()), QStringList({"Thumbs", "x.bmp", "x.jpg", "x_1.jpg"})) << evenSeconds;
        EXPECT_EQ(entries(run.dir.file("Thumbs")), QStringList({"th_x.jpg", "th_x_1.jpg"})) << evenSeconds;
    }
}

TEST(ConvertCommand, AGameFolderThatGoesMidCommandEndsItWithOneMessage)
{
    // A USB stick pulled or a share dropped: every file left would fail. The
    // folders go at once, as a pulled stick does (a removal file by file
    // would race the workers' staged files).
    enum Change { Renamed, Replaced, Linked, ThumbsGone, GameGoneInThumbnailPass };
    const struct {
        const char *what;
        Change change;
    } rows[] = {
        {"the game folder renamed in the screenshot pass", Renamed},
        {"another folder put in its place", Replaced},
        {"a link to another folder put in its place", Linked},
        {"Thumbs gone in the thumbnail pass", ThumbsGone},
        {"the game folder gone in the thumbnail pass", GameGoneInThumbnailPass},
    };
    for (const auto &row : rows) {
        for (const bool sequential : {true, false}) {
            ConvertRun run(sequential, 2);
            const QString game = run.dir.file("game");
            run.view.folder = FilePath::fromEscapedText(game);
            for (int i = 0; i < 12; ++i) {
                run.screenshot(QStringLiteral("game/s%1.bmp").arg(i, 2, 10, QChar(u'0')), 64, 48, i);
                run.screenshot(QStringLiteral("other/s%1.bmp").arg(i, 2, 10, QChar(u'0')), 64, 48, i);
            }
            const QStringList others = entries(run.dir.file("other"));
            run.view.thumbs = true;
            run.view.deleteSource = true;
            bool changed = false;
            run.view.onYield = [&](int) {
                const bool thumbnailPass = run.view.steps.count("caption:Creating thumbnails... (0 of 0)") == 2;
                const bool inThumbnailPass = row.change == ThumbsGone || row.change == GameGoneInThumbnailPass;
                if (changed || !run.view.steps.contains("caption:Converting (1 of 0)") || thumbnailPass != inThumbnailPass)
                    return;
                if (row.change == ThumbsGone)
                    changed = QDir().rename(game + "/Thumbs", run.dir.file("moved"));
                else
                    changed = QDir().rename(game, run.dir.file("moved"));
                if (row.change == Replaced)
                    changed = changed && QDir().mkdir(game);
                if (row.change == Linked)
                    changed = changed && QFile::link(run.dir.file("other"), game);
            };
            run.command();
            ASSERT_TRUE(changed) << row.what;
            EXPECT_EQ(run.messages.messages, std::vector<Message>({kWrongPath})) << row.what << " " << sequential;
            if (row.change == Replaced) {
                EXPECT_EQ(entries(game), QStringList()) << "nothing written into the new folder, " << sequential;
            }
            // Nothing written, renamed or deleted in the folder the link leads to.
            EXPECT_EQ(entries(run.dir.file("other")), others) << row.what << " " << sequential;
        }
    }
}

TEST(ConvertCommand, OnlyBitmapsOfItsOwnBytesAreConvertedAndNothingIsWrittenOutsideTheFolders)
{
    // Thumbs holds files the program did not write, or no longer holds what
    // it wrote; none of them is replaced, converted or deleted, and nothing
    // the journal says leads a file out of the game folder and Thumbs.
    const QByteArray users = screenshotFile(40, 30, 7); // a bitmap of the user's
    const long long kShot = 1600000000;
    struct Row {
        std::string what;
        std::function<void(ConvertRun &)> arrange;
        QStringList thumbs;    ///< Thumbs afterwards, but for the journal
        QStringList usersKept; ///< files of Thumbs that still hold the user's bitmap
        std::function<void(ConvertRun &)> check;
    };
    std::vector<Row> rows{
        {"a planted journal of the first version",
         [&](ConvertRun &run) {
             QDir(run.dir.path()).mkpath("game/Thumbs/th_");
             run.dir.write("game/Thumbs/evil.bmp", users);
             run.dir.setModified("game/Thumbs/evil.bmp", kShot);
             run.dir.write("game/Thumbs/.grelm-thumbnails", journalFile(1, {{"evil.bmp", "/../../../victim", kShot, users}}));
         },
         {"evil.bmp", "th_", "th_a.jpg", "th_shot01.jpg"}, {"evil.bmp"}, {}},
        {"the user's bitmap of the name a thumbnail takes",
         [&](ConvertRun &run) { run.dir.write("game/Thumbs/shot01.bmp", users); }, {"shot01.bmp", "th_a.jpg", "th_shot01.jpg"},
         {"shot01.bmp"},
         [](ConvertRun &run) { EXPECT_EQ(QImage(run.dir.file("game/Thumbs/th_shot01.jpg")).size(), QSize(64, 48)); }},
        {"a journal record of that name with other bytes",
         [&](ConvertRun &run) {
             run.dir.write("game/Thumbs/shot01.bmp", users);
             run.dir.write("game/Thumbs/.grelm-thumbnails",
                           journalFile(2, {{"shot01.bmp", "shot01", kShot, screenshotFile(40, 30, 8)}}));
         },
         {"shot01.bmp", "th_a.jpg", "th_shot01.jpg"}, {"shot01.bmp"}, {}},
    };
    // A record whose bitmap name or base is not one plain file name is
    // damaged, and reading stops there: the good record after it is not read.
    const std::pair<QByteArray, QByteArray> damaged[] = {
        {"../Thumbs/evil.bmp", "x"}, {"evil.bmp", "/../../../victim"}, {"evil.bmp", ".."}, {"evil.bmp", "."},
        {"evil.bmp", ""},            {"", "x"},                        {".", "x"},          {"..", "x"},
    };
    for (const auto &[name, base] : damaged) {
        rows.push_back({"a damaged record " + name.toStdString() + " -> " + base.toStdString(),
                        [&, name = name, base = base](ConvertRun &run) {
                            QDir(run.dir.path()).mkpath("game/Thumbs/th_");
                            run.dir.write("game/Thumbs/evil.bmp", users);
                            run.dir.write("game/Thumbs/good.bmp", users);
                            run.dir.write("game/Thumbs/.grelm-thumbnails",
                                          journalFile(2, {{name, base, kShot, users}, {"good.bmp", "good", kShot, users}}));
                        },
                        {"evil.bmp", "good.bmp", "th_", "th_a.jpg", "th_shot01.jpg"},
                        {"evil.bmp", "good.bmp"},
                        {}});
    }
    for (const Row &row : rows) {
        ConvertRun run;
        QDir(run.dir.path()).mkpath("game");
        run.view.folder = run.dir.filePath("game");
        run.dir.write("victim.jpg", "the user's picture beside the game folder");
        run.screenshot("game/a.bmp", 64, 48, 1);
        run.screenshot("game/Shot01.BMP", 64, 48, 2);
        row.arrange(run);
        run.view.thumbs = true;
        run.command();
        EXPECT_TRUE(run.messages.messages.empty()) << row.what << ": " << run.texts().join(", ").toStdString();
        EXPECT_EQ(run.dir.read("victim.jpg"), "the user's picture beside the game folder") << row.what;
        EXPECT_EQ(entries(run.dir.path()), QStringList({"game", "victim.jpg"})) << row.what;
        QStringList thumbs = entries(run.dir.file("game/Thumbs"));
        thumbs.removeAll(kJournal);
        EXPECT_EQ(thumbs, row.thumbs) << row.what;
        for (const QString &name : row.usersKept)
            EXPECT_EQ(run.dir.read("game/Thumbs/" + name), users) << row.what << ": " << name.toStdString();
        EXPECT_TRUE(run.dir.exists("game/Shot01.BMP")) << row.what;
        if (row.check)
            row.check(run);
    }
}

TEST(ConvertCommand, AfterAnInterruptedCommandLeftoversAreKnownByTheirBytes)
{
    const struct {
        const char *what;
        std::function<void(ConvertRun &)> meanwhile; ///< between the interrupted command and the next
        QStringList thumbs;                           ///< Thumbs afterwards, but for the journal
        std::function<void(ConvertRun &)> check;
    } rows[] = {
        {"the user moves a screenshot into Thumbs under a leftover's name",
         [](ConvertRun &run) {
             QFile::remove(run.dir.file("Thumbs/x.bmp"));
             QFile::rename(run.dir.file("x.bmp"), run.dir.file("Thumbs/x.bmp")); // keeps its time
         },
         {"th_a.jpg", "th_b.jpg", "th_c.jpg", "x.bmp"},
         [](ConvertRun &run) { EXPECT_EQ(run.dir.read("Thumbs/x.bmp"), screenshotFile(100, 50, 1)); }},
        {"the leftover's screenshot is replaced by a new picture of its name",
         [](ConvertRun &run) {
             run.screenshot("x.bmp", 120, 40, 9);
             run.dir.setModified("x.bmp", 1700000500);
         },
         {"th_a.jpg", "th_b.jpg", "th_c.jpg", "th_x.jpg", "th_x_1.jpg"},
         [](ConvertRun &run) {
             // The older picture keeps its thumbnail; the new one takes the next names.
             EXPECT_EQ(QImage(run.dir.file("Thumbs/th_x.jpg")).size(), QSize(70, 35));
             EXPECT_EQ(QImage(run.dir.file("Thumbs/th_x_1.jpg")).size(), QSize(70, 23));
             EXPECT_TRUE(run.dir.exists("x.jpg") && run.dir.exists("x_1.jpg"));
         }},
    };
    for (const auto &row : rows) {
        ConvertRun run;
        for (const char *name : {"a.bmp", "b.bmp", "c.bmp"})
            run.screenshot(name, 64, 48, 2);
        run.screenshot("x.bmp", 100, 50, 1);
        run.dir.setModified("x.bmp", 1700000001, 123456789);
        interruptDuringTheThumbnailPass(run);
        ASSERT_TRUE(run.dir.exists("Thumbs/x.bmp")) << row.what;
        row.meanwhile(run);
        run.command();
        EXPECT_TRUE(run.messages.messages.empty()) << row.what << ": " << run.texts().join(", ").toStdString();
        QStringList thumbs = entries(run.dir.file("Thumbs"));
        thumbs.removeAll(kJournal);
        EXPECT_EQ(thumbs, row.thumbs) << row.what;
        row.check(run);
    }
}

TEST(ConvertCommand, AThumbnailBitmapItWroteAndCannotConvertIsReported)
{
    // Between the thumbnail branch and the thumbnail pass (the game folder is
    // read once more in between), something happens to the bitmap x.bmp.
    const struct {
        const char *what;
        std::function<void(ConvertRun &)> meanwhile;
        bool converted;
    } rows[] = {
        {"its time is rounded to whole seconds, as FAT or ext3 keep it",
         [](ConvertRun &run) { run.dir.setModified("Thumbs/x.bmp", 1700000000); }, true},
        {"another bitmap of the same size is written over it",
         [](ConvertRun &run) { run.dir.write("Thumbs/x.bmp", run.dir.read("Thumbs/x.bmp").replace(60, 3, "\x10\x20\x30")); },
         false},
        {"it is deleted", [](ConvertRun &run) { QFile::remove(run.dir.file("Thumbs/x.bmp")); }, false},
    };
    for (const auto &row : rows) {
        for (const bool sequential : {true, false}) {
            ConvertRun run(sequential);
            run.screenshot("x.bmp", 100, 50, 1);
            run.dir.setModified("x.bmp", 1700000001, 123456789);
            bool done = false;
            run.view.onGameFolder = [&] {
                if (!done && run.dir.exists("Thumbs/x.bmp")) {
                    done = true;
                    row.meanwhile(run);
                }
            };
            run.view.thumbs = true;
            run.view.deleteSource = true;
            run.command();
            EXPECT_EQ(run.dir.exists("Thumbs/th_x.jpg"), row.converted) << row.what;
            EXPECT_EQ(run.dir.exists("x.bmp"), !row.converted) << row.what;
            if (row.converted) {
                EXPECT_TRUE(run.messages.messages.empty()) << row.what;
                // The JPEG carries its screenshot's time, not the rounded one.
                const std::optional<FileStamp> jpeg = fileStamp(run.dir.filePath("Thumbs/th_x.jpg"));
                EXPECT_EQ(jpeg ? jpeg->modified.tv_nsec : 0, 123456789) << row.what;
            } else {
                EXPECT_EQ(run.messages.messages, std::vector<Message>({cantLoadBmpMessage()})) << row.what;
                EXPECT_TRUE(!run.messages.messages.empty()
                            && run.messages.messages[0].detail.endsWith("x.bmp: not the thumbnail bitmap this Convert wrote"))
                    << row.what;
            }
        }
    }
}

TEST(ConvertCommand, StagedFilesOfKilledRunsAreRemovedAndThoseOfAnotherRunningOneKept)
{
    // A killed run leaves its hidden staged files; the next Convert removes
    // those of the program's own name pattern, in the game folder and Thumbs.
    ConvertRun run;
    run.screenshot("a.bmp");
    const QStringList leftovers{".a.jpg.0123456789abcdef.tmp", "Thumbs/.th_a.jpg.fedcba9876543210.tmp",
                                "Thumbs/.a.bmp.00000000000000ff.tmp"};
    const QStringList others{".a.jpg.0123456789ABCDEF.tmp", ".notes.tmp", "Thumbs/.a.bmp.0123.tmp"};
    for (const QString &name : leftovers + others)
        run.dir.write(name, "left behind");
    // Staged an hour before the command started, as it is here an instant before.
    FileTime now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    run.stagingLeftoversBefore = now;
    run.command();
    EXPECT_TRUE(run.messages.messages.empty());
    for (const QString &name : leftovers)
        EXPECT_FALSE(run.dir.exists(name)) << name.toStdString();
    for (const QString &name : others)
        EXPECT_TRUE(run.dir.exists(name)) << name.toStdString();

    // A second Convert of the same folder starts while this one has files
    // staged (dated like their screenshots, years ago): they are kept and
    // given their names.
    ConvertRun first(false, 2);
    first.numberedScreenshots(12);
    bool secondRan = false;
    first.view.onYield = [&](int) {
        if (secondRan)
            return;
        // While this thread waits here the workers go on staging the files
        // ahead of it, so some appear however slow the machine is.
        const QDir::Filters hidden = QDir::Files | QDir::Hidden;
        QDeadlineTimer patience(10000);
        while (QDir(first.dir.path()).entryList({".*.tmp"}, hidden).isEmpty()) {
            if (patience.hasExpired())
                return;
            QThread::msleep(5);
        }
        secondRan = true;
        ConvertRun second(false, 1);
        second.view.folder = first.dir.filePath();
        second.command();
        EXPECT_TRUE(second.messages.messages.empty());
    };
    first.command();
    EXPECT_TRUE(secondRan);
    EXPECT_TRUE(first.messages.messages.empty());
    for (int i = 0; i < 12; ++i)
        EXPECT_FALSE(QImage(first.dir.file(QStringLiteral("s%1.jpg").arg(i))).isNull()) << i;
    EXPECT_TRUE(entries(first.dir.path()).filter(QRegularExpression("^\\.")).isEmpty());
}

TEST(ConvertCommand, AThumbsReplacedByAnotherFolderDuringTheCommandEndsIt)
{
    // Between the thumbnail branch and the pass, Thumbs becomes a link to a
    // folder outside the game folder that holds the same files.
    ConvertRun run;
    TempFolder outside;
    run.screenshot("x.bmp", 100, 50, 1);
    bool done = false;
    run.view.onGameFolder = [&] {
        if (!done && run.dir.exists("Thumbs/x.bmp")) {
            done = true;
            QDir().mkpath(outside.file("Thumbs"));
            for (const QString &name : entries(run.dir.file("Thumbs")))
                QFile::copy(run.dir.file("Thumbs/" + name), outside.file("Thumbs/" + name));
            QDir().rename(run.dir.file("Thumbs"), run.dir.file("Thumbs.old"));
            QFile::link(outside.file("Thumbs"), run.dir.file("Thumbs"));
        }
    };
    run.view.thumbs = true;
    run.view.deleteSource = true;
    run.command();
    EXPECT_TRUE(run.ended());
    EXPECT_TRUE(run.dir.exists("x.bmp"));
    EXPECT_EQ(entries(outside.file("Thumbs")), QStringList({kJournal, "x.bmp"}));
}
