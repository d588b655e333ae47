// The folder pass on its own: output names, progress steps, reported
// failures, kept modification times, and the same results on worker threads.
#include "convert/arrival_watch.h"
#include "convert/folder_pass.h"
#include "convert/output_names.h"
#include "convert/thumbnails_ahead.h"
#include "convert/deletion_group.h"
#include "convert_run.h"
#include "support/test_picture.h"
#include "core/errors.h"
#include "core/file_stamp.h"
#include "core/folder_listing.h"
#include "core/write_lease.h"

#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

using namespace grelm;
using grelm::test::ConvertRun;
using grelm::test::entries;

TEST(ConvertPassNames, BaseNamesDropOnlyTheLastExtensionAndKeepCaseOnlyInAClash)
{
    const struct {
        QStringList listed;
        QStringList bases;
    } rows[] = {
        {{"Shot01.BMP"}, {"shot01"}},
        {{"a.b.bmp", "shot.1.bmp", "shot.2.bmp"}, {"a.b", "shot.1", "shot.2"}},
        {{"Shot.bmp", "shot.BMP", "other.bmp"}, {"Shot", "shot", "other"}},
        // Names that differ only in the extension's case keep the whole name.
        {{"shot.bmp", "shot.BMP"}, {"shot.bmp", "shot.BMP"}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(outputBaseNames(test::pathsOf(row.listed)), test::pathsOf(row.bases)) << row.listed.join(u',').toStdString();
    EXPECT_EQ(caseSafeNames(test::pathsOf({"Shot.bmp", "shot.BMP", "Other.BMP"})),
              test::pathsOf({"Shot.bmp", "shot.BMP", "other.bmp"}));
    // Twins as QString::compare(Qt::CaseInsensitive) finds them: letters
    // outside ASCII and above U+FFFF too; bytes that are not UTF-8 only when equal.
    const QList<FilePath> listed = test::pathsOf({"Shot.bmp", "shot.BMP", "other.bmp", "\u00c4rger.bmp", "\u00e4rger.bmp",
                                                  "\U00010400.bmp", "\U00010428.bmp"})
                                   + QList<FilePath>{FilePath("caf\xc9.bmp"), FilePath("caf\xe9.bmp"), FilePath("CAF\xc9.bmp")};
    EXPECT_EQ(caseTwins(listed), QSet<FilePath>({listed[0], listed[1], listed[3], listed[4], listed[5], listed[6],
                                                 listed[7], listed[9]}));
}

TEST(ConvertPassProgress, FillIsRoundedHalfToEvenAndStaysInTheBar)
{
    const struct {
        std::size_t done;
        double count;
        int width;
        int fill;
    } rows[] = {
        {11, 12, 120, 110},
        {1, 8, 100, 12},   // 12.5 rounds to even
        {3, 8, 100, 38},   // 37.5 rounds to even
        {5, 3, 120, 120},  // a count below the real number of files
        {2, 0, 120, 120},  // a count of 0 or no number at all
        {2, -4, 120, 0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(progressFill(row.done, row.count, row.width), row.fill) << row.done << " of " << row.count;
}

// The thumbnails made ahead stay within their budget, and a new screenshot
// pass starts it afresh.
TEST(ThumbnailsAhead, StayWithinTheirBudgetAndStartAfreshWhenCleared)
{
    ThumbnailsAhead ahead;
    const QByteArray half(ThumbnailsAhead::kBudget / 2, 'x');
    for (const char *name : {"a.bmp", "b.bmp", "c.bmp"})
        ahead.keep(FilePath(name), half);
    EXPECT_TRUE(ahead.find(FilePath("a.bmp")) && ahead.find(FilePath("b.bmp")));
    EXPECT_EQ(ahead.find(FilePath("c.bmp")), nullptr);
    ahead.clear();
    EXPECT_EQ(ahead.find(FilePath("a.bmp")), nullptr);
    ahead.keep(FilePath("c.bmp"), half);
    ASSERT_NE(ahead.find(FilePath("c.bmp")), nullptr);
    EXPECT_EQ(*ahead.find(FilePath("c.bmp")), half);
}

TEST(ConvertPass, ConvertsEveryBitmapInOrderWithItsProgressSteps)
{
    ConvertRun run(true);
    run.screenshot("Shot01.BMP", 32, 24, 1);
    run.screenshot("shot02.bmp", 32, 24, 2);
    run.screenshot("a.b.bmp", 8, 6, 3);
    run.dir.write("notes.txt", "not a picture");
    run.view.count = "3";
    run.pass();

    EXPECT_EQ(entries(run.dir.path()), QStringList({"Shot01.BMP", "a.b.bmp", "a.b.jpg", "notes.txt", "shot01.jpg",
                                                    "shot02.bmp", "shot02.jpg"}));
    EXPECT_EQ(QImage(run.dir.file("shot01.jpg")).size(), QSize(32, 24));
    EXPECT_TRUE(run.messages.messages.empty());
    // The screenshot pass opens with the thumbnail caption too.
    EXPECT_EQ(run.view.steps, QStringList({"show", "caption:Creating thumbnails... (0 of 3)",
                                           "caption:Converting (1 of 3)", "fill:40", "yield",
                                           "caption:Converting (2 of 3)", "fill:80", "yield", "hide"}));
}

// A command over some screenshots only (a batch of the watch) sees what a
// listing filtered to those names would, without listing the folder.
TEST(ConvertPass, OnlySomeScreenshotsAreTheFilteredListing)
{
    ConvertRun run(true);
    for (const char *name : {"a.bmp", "B.bmp", "c.BMP", ".d.bmp", "notes.txt"})
        run.dir.write(name, "BM");
    QDir(run.dir.path()).mkdir("e.bmp");
    const QList<FilePath> onlyNames = test::pathsOf({"c.BMP", "B.bmp", "missing.bmp", ".d.bmp", "e.bmp", "notes.txt"});
    const QSet<FilePath> only(onlyNames.cbegin(), onlyNames.cend());
    ConvertSession session(run.view, run.messages, run.buffer, run.threading);
    session.onlyScreenshots = only;
    QList<FilePath> filtered = FolderListing::all(run.dir.filePath(), "*.bmp");
    filtered.removeIf([&](const FilePath &name) { return !only.contains(name); });
    EXPECT_EQ(session.listScreenshots(run.dir.filePath()), filtered);
    EXPECT_EQ(filtered, test::pathsOf({"B.bmp", "c.BMP"}));
}

TEST(ConvertPass, ABadCountNeverEndsThePassAndShowsAsWritten)
{
    for (const QString count : {"0", "abc", "1"}) {
        ConvertRun run(true);
        for (int i = 0; i < 3; ++i)
            run.screenshot(QStringLiteral("s%1.bmp").arg(i), 4, 4, i);
        run.view.count = count;
        run.pass();
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(run.dir.exists(QStringLiteral("s%1.jpg").arg(i))) << count.toStdString();
        EXPECT_TRUE(run.view.steps.contains("caption:Converting (2 of " + count + ")"));
        EXPECT_TRUE(run.view.steps.contains("fill:120")) << count.toStdString();
    }
}

TEST(ConvertPass, AFolderWithoutBitmapsShowsNoProgress)
{
    ConvertRun run(false);
    run.dir.write("readme.txt", "x");
    QDir(run.dir.path()).mkdir("folder.bmp");
    run.pass();
    EXPECT_TRUE(run.view.steps.isEmpty());
    EXPECT_EQ(entries(run.dir.path()), QStringList({"folder.bmp", "readme.txt"}));
}

TEST(ConvertPass, ReportsUnloadableAndUnwritableFilesAndGoesOn)
{
    for (const bool sequential : {true, false}) {
        ConvertRun run(sequential);
        run.dir.write("a.bmp", "BM this is no bitmap");
        run.screenshot("b.bmp", 16, 16, 1);
        QDir(run.dir.path()).mkdir("b.jpg"); // the output name is taken by a folder
        run.screenshot("c.bmp", 16, 16, 2);
        run.dir.write("c.jpg", "an older file of that name is replaced");
        run.pass();

        ASSERT_EQ(run.texts().size(), 3);
        EXPECT_EQ(run.texts()[0], "Can't load BMP image");
        EXPECT_TRUE(run.texts()[1].startsWith("IJL ERROR: [")) << run.texts()[1].toStdString();
        EXPECT_TRUE(run.texts()[2].endsWith("] - Failed to save to JPG")) << run.texts()[2].toStdString();
        EXPECT_EQ(run.messages.messages[2].icon, MessageIcon::Exclamation);
        // Each keeps its cause beside the box: the reader's reason, the file system's.
        EXPECT_FALSE(run.messages.messages[0].detail.isEmpty());
        EXPECT_TRUE(run.messages.messages[2].detail.contains("Is a directory")) << run.messages.messages[2].detail.toStdString();
        // No partial or temporary file anywhere, the folder in the way untouched.
        EXPECT_EQ(entries(run.dir.path()), QStringList({"a.bmp", "b.bmp", "b.jpg", "c.bmp", "c.jpg"}));
        EXPECT_TRUE(QFileInfo(run.dir.file("b.jpg")).isDir());
        EXPECT_EQ(QImage(run.dir.file("c.jpg")).size(), QSize(16, 16));
        QList<FilePath> written;
        for (auto it = run.session->records.cbegin(); it != run.session->records.cend(); ++it)
            if (!it->jpeg.isEmpty())
                written << it.key();
        EXPECT_EQ(written, test::pathsOf({"c.bmp"}));
    }
}

TEST(ConvertPass, EachJpegKeepsItsScreenshotsModificationTime)
{
    ConvertRun run(false);
    const QString source = run.screenshot("shot.bmp", 8, 8, 1);
    const std::timespec times[2] = {{1000000000, 0}, {1234567890, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, source.toUtf8().constData(), times, 0), 0);
    run.pass();
    struct stat info {};
    ASSERT_EQ(::stat(run.dir.file("shot.jpg").toUtf8().constData(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(info.st_mtim.tv_nsec, 123456789);
}

TEST(ConvertPass, StopsAfterTheCurrentFileWhenTheWindowCloses)
{
    const struct {
        const char *what;
        bool closedBeforeTheFirstFile;
        QStringList converted;
    } rows[] = {
        // The first yield follows the second file.
        {"closed at the first yield", false, {"s0.jpg", "s1.jpg"}},
        // The first file is converted even so, in the threaded mode too, which yields while it waits.
        {"closed before the pass", true, {"s0.jpg"}},
    };
    for (const auto &row : rows)
        for (const bool sequential : {true, false}) {
            ConvertRun run(sequential);
            for (int i = 0; i < 8; ++i)
                run.screenshot(QStringLiteral("s%1.bmp").arg(i), 64, 48, i);
            run.view.stop = row.closedBeforeTheFirstFile;
            run.view.onYield = [&](int) {
                if (run.view.steps.contains("caption:Converting (1 of 0)"))
                    run.view.stop = true;
            };
            run.pass();
            EXPECT_TRUE(run.session->stopped) << row.what;
            EXPECT_EQ(entries(run.dir.path()).filter(".jpg"), row.converted) << row.what << ", " << sequential;
            for (const QString &name : entries(run.dir.path()))
                EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
        }
}

TEST(DeletionGroup, DeletesOnlyUnchangedScreenshotsAndNothingWhenAFlushFails)
{
    const struct {
        const char *what;
        bool changed;       ///< the screenshot is saved over before the flush
        bool jpegMissing;   ///< its JPEG cannot be flushed
        bool heldForWriting; ///< a process still has it open for writing, its stamp unchanged
        bool deleted;
    } rows[] = {
        {"both JPEGs flushed", false, false, false, true},
        {"saved over meanwhile", true, false, false, false},
        {"a JPEG that cannot be flushed", false, true, false, false},
        {"still open for writing", false, false, true, false},
    };
    // By path, and through the folders a command holds open.
    for (const auto &row : rows) {
        for (const bool held : {false, true}) {
            test::TempFolder dir;
            const FilePath shot = dir.written("s.bmp", "BM picture");
            const auto stamp = fileStamp(shot);
            dir.write("s.jpg", "jpeg");
            dir.write("Thumbs/th_s.jpg", "jpeg");
            if (row.jpegMissing)
                QFile::remove(dir.file("s.jpg"));
            WriteFolders folders;
            if (held) {
                folders.restrict();
                folders.hold(*HeldFolder::open(dir.filePath()));
                folders.hold(*HeldFolder::open(dir.filePath("Thumbs")));
            }
            DeletionGroup group(&folders);
            group.add({shot, stamp, dir.filePath("s.jpg"), dir.filePath("Thumbs/th_s.jpg")});
            if (row.changed)
                dir.write("s.bmp", "BM a new picture");
            const int writer = row.heldForWriting ? ::open(shot.data(), O_WRONLY) : -1;
            if (row.jpegMissing) {
                EXPECT_THROW(group.flush(), FileError) << row.what;
            } else {
                group.flush();
            }
            if (writer >= 0)
                ::close(writer);
            EXPECT_EQ(dir.exists("s.bmp"), !row.deleted) << row.what << " " << held;
            EXPECT_TRUE(entries(dir.path()).filter(".grelm").isEmpty()) << "no probe left, " << held;
        }
    }
}

TEST(WriteLease, ARefusedLeaseMeansAWriterAndLeavesNothingHeld)
{
    test::TempFolder dir;
    const FilePath shot = FilePath::fromEscapedText(dir.write("s.bmp", "BM picture"));
    EXPECT_EQ(writerState(shot), WriterState::None);
    {
        const int writer = ::open(shot.data(), O_WRONLY);
        EXPECT_EQ(writerState(shot), WriterState::Writing);
        WriterCheck check;
        EXPECT_TRUE(check.beingWritten(shot));
        ::close(writer);
        EXPECT_FALSE(check.beingWritten(shot));
    }
    // A reader does not count; the lease given back lets a writer in at once.
    const int reader = ::open(shot.data(), O_RDONLY);
    EXPECT_EQ(writerState(shot), WriterState::None);
    ::close(reader);
    const int writer = ::open(shot.data(), O_WRONLY | O_NONBLOCK);
    EXPECT_GE(writer, 0);
    ::close(writer);
    EXPECT_EQ(writerState(dir.filePath("missing.bmp")), WriterState::Unknown);
    // The folder's probe leaves no file behind.
    EXPECT_TRUE(leasesWorkIn(dir.filePath()));
    EXPECT_FALSE(leasesWorkIn(dir.filePath("missing")));
    EXPECT_EQ(entries(dir.path()), QStringList({"s.bmp"}));
}

namespace {

// A watch over an empty folder whose files are what `files` says, by path.
struct FakeArrivals {
    test::TempFolder dir;
    QHash<QString, ArrivalLook> files;
    ArrivalWatch watch{dir.filePath(), [this](const FilePath &path) -> std::optional<ArrivalLook> {
                           const auto it = files.constFind(path.fileName().escapedText());
                           return it == files.cend() ? std::nullopt : std::optional<ArrivalLook>(*it);
                       }};
};

ArrivalLook lookOf(long long size, std::optional<std::uint32_t> declared, bool pixels, WriterState writer, long version = 5)
{
    return {FileStamp{1, 2, size, {version, 0}, {version, 0}}, declared, pixels, writer};
}

} // namespace

TEST(ArrivalWatch, AScreenshotIsCompleteOnceWholeAndNoLongerOpenForWriting)
{
    using namespace std::chrono_literals;
    using W = WriterState;
    const auto t0 = ArrivalWatch::Clock::time_point{} + 100s;
    const struct {
        const char *what;
        ArrivalLook look;
        std::chrono::milliseconds still; ///< how long it has not changed
        bool complete;
    } rows[] = {
        {"whole and closed: at once", lookOf(1000, 1000, true, W::None), 0ms, true},
        {"whole but open for writing (a pre-sized file)", lookOf(1000, 1000, true, W::Writing), 60s, false},
        {"whole, no lease: still for a second", lookOf(1000, 1000, true, W::Unknown), 1000ms, true},
        {"whole, no lease: still for less", lookOf(1000, 1000, true, W::Unknown), 900ms, false},
        {"shorter than its header says", lookOf(1000, 2000, false, W::None), 60s, false},
        {"a header that declares no size, pixels there", lookOf(1000, 0, true, W::None), 3000ms, true},
        {"a header that declares no size, still for less", lookOf(1000, 0, true, W::Unknown), 2900ms, false},
        {"another declared size, pixels there", lookOf(1000, 900, true, W::Unknown), 3000ms, true},
        {"no header yet", lookOf(4, std::nullopt, false, W::None), 60s, false},
    };
    for (const auto &row : rows) {
        FakeArrivals f;
        f.watch.start(t0);
        f.files.insert("s.bmp", row.look);
        f.watch.arrived(FilePath("s.bmp"), t0);
        const QList<FilePath> first = f.watch.look(t0);
        const QList<FilePath> later = f.watch.look(t0 + row.still);
        EXPECT_EQ(first + later, row.complete ? QList<FilePath>{FilePath("s.bmp")} : QList<FilePath>{}) << row.what;
        if (row.complete) {
            EXPECT_TRUE(f.watch.look(t0 + row.still + 10s).isEmpty()) << row.what << ": reported twice";
        }
    }
    // Each version once; a new one is reported again, and a retry asks again.
    FakeArrivals f;
    f.watch.start(t0);
    f.files.insert("s.bmp", lookOf(1000, 1000, true, W::None));
    f.watch.arrived(FilePath("s.bmp"), t0);
    EXPECT_EQ(f.watch.look(t0), QList<FilePath>{FilePath("s.bmp")});
    f.watch.arrived(FilePath("s.bmp"), t0 + 1s); // closed again without a change
    EXPECT_TRUE(f.watch.look(t0 + 1s).isEmpty());
    EXPECT_FALSE(f.watch.waiting());
    f.files["s.bmp"] = lookOf(1000, 1000, true, W::None, 6);
    f.watch.arrived(FilePath("s.bmp"), t0 + 2s);
    EXPECT_EQ(f.watch.look(t0 + 2s), QList<FilePath>{FilePath("s.bmp")});
    f.watch.lookAgain(FilePath("s.bmp"));
    EXPECT_EQ(f.watch.look(t0 + 3s), QList<FilePath>{FilePath("s.bmp")});
    // Hidden names and other files are no screenshots.
    EXPECT_FALSE(f.watch.arrived(FilePath(".s.bmp"), t0));
    EXPECT_FALSE(f.watch.arrived(FilePath("s.jpg"), t0));
    EXPECT_FALSE(f.watch.waiting());
}

TEST(ArrivalWatch, WithoutLeasesAScreenshotMayBeDeletedOnlyOnceUnchangedForAMinute)
{
    using namespace std::chrono_literals;
    const auto t0 = ArrivalWatch::Clock::time_point{} + 100s;
    FakeArrivals f;
    f.watch.start(t0);
    const ArrivalLook first = lookOf(1000, 1000, true, WriterState::Unknown);
    f.files.insert("s.bmp", first);
    f.watch.arrived(FilePath("s.bmp"), t0);
    f.watch.look(t0);
    EXPECT_EQ(f.watch.look(t0 + 1s), QList<FilePath>{FilePath("s.bmp")}); // converted on settling
    EXPECT_TRUE(f.watch.withoutLeases(FilePath("s.bmp")));
    f.watch.look(t0 + 30s);
    EXPECT_FALSE(f.watch.unchangedLongEnough(FilePath("s.bmp"), first.stamp, t0 + 30s));
    EXPECT_TRUE(f.watch.waiting()) << "kept in sight: a paused writer may change it again";
    // The writer goes on after a pause: the new version is converted and waits its minute.
    const ArrivalLook second = lookOf(1000, 1000, true, WriterState::Unknown, 6);
    f.files["s.bmp"] = second;
    f.watch.look(t0 + 40s);
    EXPECT_FALSE(f.watch.stillInSight(FilePath("s.bmp"), first.stamp));
    EXPECT_EQ(f.watch.look(t0 + 41s), QList<FilePath>{FilePath("s.bmp")});
    f.watch.look(t0 + 99s);
    EXPECT_FALSE(f.watch.unchangedLongEnough(FilePath("s.bmp"), second.stamp, t0 + 99s));
    f.watch.look(t0 + 100s);
    EXPECT_TRUE(f.watch.unchangedLongEnough(FilePath("s.bmp"), second.stamp, t0 + 100s));
    EXPECT_FALSE(f.watch.waiting());

    // Present at the start: one changed long ago has waited its minute; one
    // just written is kept in sight.
    FakeArrivals g;
    g.dir.write("old.bmp", "BM");
    g.dir.write("new.bmp", "BM");
    const ArrivalLook old = lookOf(2, 0, true, WriterState::Unknown);
    ArrivalLook fresh = lookOf(2, 0, true, WriterState::Unknown);
    fresh.stamp.changed.tv_sec = std::time(nullptr);
    g.files.insert("old.bmp", old);
    g.files.insert("new.bmp", fresh);
    EXPECT_EQ(g.watch.start(t0), (QList<FilePath>{FilePath("new.bmp"), FilePath("old.bmp")}));
    EXPECT_TRUE(g.watch.unchangedLongEnough(FilePath("old.bmp"), old.stamp, t0));
    EXPECT_FALSE(g.watch.unchangedLongEnough(FilePath("new.bmp"), fresh.stamp, t0));
    EXPECT_TRUE(g.watch.waiting());
}

TEST(ArrivalWatch, ListingsAndAFullLookAfterLostEventsFindWhatCameWithoutAnEvent)
{
    using namespace std::chrono_literals;
    const auto t0 = ArrivalWatch::Clock::now();
    test::TempFolder dir;
    dir.write("old.bmp", test::screenshotFile(16, 12, 1));
    const int writer = ::open(dir.write("open.bmp", test::screenshotFile(16, 12, 2)).toUtf8().constData(), O_WRONLY);
    ArrivalWatch watch(dir.filePath());
    EXPECT_EQ(watch.start(t0), QList<FilePath>{FilePath("old.bmp")}) << "a file open for writing waits";
    EXPECT_TRUE(watch.look(t0).isEmpty());
    ::close(writer);
    watch.arrived(FilePath("open.bmp"), t0);
    EXPECT_EQ(watch.look(t0), QList<FilePath>{FilePath("open.bmp")});

    dir.write("quiet.bmp", test::screenshotFile(16, 12, 3)); // its event was lost
    EXPECT_TRUE(watch.look(t0).isEmpty());
    watch.overflowed();
    EXPECT_TRUE(watch.waiting());
    EXPECT_EQ(watch.look(t0), QList<FilePath>{FilePath("quiet.bmp")}) << "only the new file, not those reported";
    EXPECT_FALSE(watch.waiting());

    dir.write("later.bmp", test::screenshotFile(16, 12, 4)); // a file system without events
    watch.listAgain(t0);
    EXPECT_EQ(watch.look(t0), QList<FilePath>{FilePath("later.bmp")});
}
