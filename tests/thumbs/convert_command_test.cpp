// The whole Convert command headless: the Thumbs folder, both passes, the
// thumbnail branch, the deletion rule, the one wrong-path message, and the
// same outcome whether files are prepared on worker threads or not.
#include "core/messages.h"
#include "imaging/batch_conversion.h"
#include "imaging/dib_section.h"
#include "support/recording_convert_view.h"
#include "support/test_picture.h"
#include "support/temp_folder.h"
#include "thumbs/convert_command.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QMap>

#include <gtest/gtest.h>

using namespace grelm;
using grelm::test::screenshotFile;

namespace {

const Message kWrongPath{"The path you are currently using is incorrect!", "Wrong Path!", MessageIcon::Question};

struct CommandRun {
    explicit CommandRun(bool sequential = false, int workers = 2)
        : threading{sequential, workers, 2}
    {
        view.folder = dir.path();
    }
    void run()
    {
        ConvertSession session(view, messages, buffer, threading);
        runConvertCommand(session);
    }
    QString screenshot(const QString &name, int w = 64, int h = 48, int seed = 1) const
    {
        return dir.write(name, screenshotFile(w, h, seed));
    }
    bool ended() const { return !messages.messages.empty() && messages.messages.back() == kWrongPath; }

    test::TempFolder dir;
    test::RecordingConvertView view;
    RecordingMessageSink messages;
    cDIBSection buffer{messages};
    ConvertThreading threading;
};

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Every file below `folder` with its bytes, by relative path.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        files.insert(QDir(folder).relativeFilePath(path), f.readAll());
    }
    return files;
}

} // namespace

TEST(ConvertCommand, MakesThumbsAndConvertsWithoutDeletingWhenThumbnailsAreOff)
{
    CommandRun run;
    run.screenshot("Shot01.BMP");
    run.view.deleteSource = true;
    run.run();
    EXPECT_TRUE(run.messages.messages.empty());
    EXPECT_TRUE(QFileInfo(run.dir.file("Thumbs")).isDir());
    EXPECT_EQ(entries(run.dir.path()), QStringList({"Shot01.BMP", "Thumbs", "shot01.jpg"}));
    EXPECT_TRUE(entries(run.dir.file("Thumbs")).isEmpty());
}

TEST(ConvertCommand, FailuresBeforeAnyFileEndWithTheWrongPathMessageAndWriteNothing)
{
    for (const QString folder : {"", "missing"}) {
        CommandRun run;
        run.screenshot("shot.bmp");
        run.view.folder = folder.isEmpty() ? QString() : run.dir.file("missing");
        run.run();
        EXPECT_EQ(run.messages.messages, std::vector<Message>({kWrongPath})) << folder.toStdString();
        EXPECT_EQ(entries(run.dir.path()), QStringList({"shot.bmp"}));
        EXPECT_TRUE(run.view.steps.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists("/Thumbs"));
}

TEST(ConvertCommand, ThumbnailsAreNamedConvertedAndTheirBitmapsRemoved)
{
    for (const bool deleteSource : {false, true}) {
        CommandRun run;
        run.screenshot("Shot01.BMP", 640, 480);
        run.screenshot("tall.bmp", 48, 64, 2);
        run.view.thumbs = true;
        run.view.deleteSource = deleteSource;
        run.view.width = " 70 ";
        run.run();
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
        CommandRun run;
        run.screenshot("a.bmp");
        run.screenshot("b.bmp");
        run.view.thumbs = true;
        run.view.deleteSource = true;
        run.view.width = width;
        run.run();
        EXPECT_TRUE(run.ended()) << width.toStdString();
        EXPECT_EQ(run.messages.messages.size(), 1u);
        EXPECT_TRUE(entries(run.dir.file("Thumbs")).isEmpty()) << width.toStdString();
        EXPECT_EQ(entries(run.dir.path()), QStringList({"Thumbs", "a.bmp", "a.jpg", "b.bmp", "b.jpg"}));
    }
}

TEST(ConvertCommand, AFolderWithoutScreenshotsNeverReadsTheWidth)
{
    CommandRun run;
    run.view.thumbs = true;
    run.view.width = "not a number";
    run.run();
    EXPECT_TRUE(run.messages.messages.empty());
    EXPECT_EQ(run.view.widthReads, 0);
    EXPECT_TRUE(run.view.steps.isEmpty());
}

TEST(ConvertCommand, ASourceIsDeletedOnlyWhenBothItsJpegsWereWritten)
{
    CommandRun run;
    run.screenshot("good.bmp");
    run.screenshot("nojpeg.bmp");
    QDir(run.dir.path()).mkpath("nojpeg.jpg");          // its screenshot JPEG cannot be written
    run.screenshot("nothumb.bmp");
    QDir(run.dir.path()).mkpath("Thumbs/th_nothumb.jpg"); // its thumbnail JPEG cannot be written
    run.dir.write("Thumbs/orphan.bmp", screenshotFile(8, 8, 5)); // left over, no namesake
    run.view.thumbs = true;
    run.view.deleteSource = true;
    run.run();

    EXPECT_FALSE(run.ended());
    EXPECT_EQ(entries(run.dir.path()), QStringList({"Thumbs", "good.jpg", "nojpeg.bmp", "nojpeg.jpg", "nothumb.bmp",
                                                    "nothumb.jpg"}));
    // The thumbnail bitmap whose JPEG failed is kept; the leftover is converted once.
    EXPECT_EQ(entries(run.dir.file("Thumbs")), QStringList({"nothumb.bmp", "th_good.jpg", "th_nojpeg.jpg",
                                                            "th_nothumb.jpg", "th_orphan.jpg"}));
    EXPECT_EQ(run.messages.messages.size(), 2u); // the two failed writes
}

TEST(ConvertCommand, NamesThatDifferOnlyInCaseKeepTheirOwnFilesAndAreNotDeleted)
{
    CommandRun run;
    run.screenshot("Shot.bmp", 64, 48, 1);
    run.screenshot("shot.BMP", 64, 48, 2);
    run.view.thumbs = true;
    run.view.deleteSource = true;
    run.run();
    EXPECT_TRUE(run.messages.messages.empty());
    EXPECT_EQ(entries(run.dir.path()), QStringList({"Shot.bmp", "Shot.jpg", "Thumbs", "shot.BMP", "shot.jpg"}));
    EXPECT_EQ(entries(run.dir.file("Thumbs")), QStringList({"th_Shot.jpg", "th_shot.jpg"}));
    EXPECT_NE(run.dir.read("Shot.jpg"), run.dir.read("shot.jpg"));
}

TEST(ConvertCommand, LeftoverThumbnailBitmapsAreReplaced)
{
    CommandRun run;
    run.screenshot("Shot01.BMP", 640, 480);
    run.dir.write("Thumbs/shot01.bmp", "a half-written thumbnail from an earlier run");
    run.view.thumbs = true;
    run.run();
    EXPECT_TRUE(run.messages.messages.empty());
    EXPECT_EQ(entries(run.dir.file("Thumbs")), QStringList({"th_shot01.jpg"}));
    EXPECT_EQ(QImage(run.dir.file("Thumbs/th_shot01.jpg")).size(), QSize(70, 52));
}

TEST(ConvertCommand, AThumbsFileInTheWayEndsTheCommandAfterTheScreenshotPass)
{
    CommandRun run;
    run.screenshot("a.bmp");
    run.dir.write("Thumbs", "a file, not a folder");
    run.view.thumbs = true;
    run.run();
    EXPECT_EQ(run.messages.messages, std::vector<Message>({kWrongPath}));
    EXPECT_EQ(entries(run.dir.path()), QStringList({"Thumbs", "a.bmp", "a.jpg"}));
}

TEST(ConvertCommand, AnErrorInTheMiddleLeavesEverythingAfterItUntouched)
{
    for (const bool sequential : {true, false}) {
        CommandRun run(sequential, 2);
        for (int i = 0; i < 12; ++i)
            run.screenshot(QStringLiteral("s%1.bmp").arg(i, 2, 10, QChar(u'0')), 160, 120, i);
        run.dir.write("s05.bmp", "BM not a picture"); // thumbnails cannot be made from it
        run.view.thumbs = true;
        run.view.deleteSource = true;
        run.run();
        EXPECT_TRUE(run.ended());
        // Every screenshot stays; thumbnails exist up to the failing one only.
        EXPECT_EQ(entries(run.dir.file("Thumbs")), QStringList({"s00.bmp", "s01.bmp", "s02.bmp", "s03.bmp", "s04.bmp"}))
            << sequential;
        for (int i = 0; i < 12; ++i)
            EXPECT_TRUE(run.dir.exists(QStringLiteral("s%1.bmp").arg(i, 2, 10, QChar(u'0'))));
    }
}

TEST(ConvertCommand, WorkerThreadsGiveTheSameFilesMessagesAndDeletionsAsOneThread)
{
    auto prepare = [](CommandRun &run) {
        for (int i = 0; i < 10; ++i)
            run.screenshot(QStringLiteral("s%1.bmp").arg(i), 200 + i * 13, 150 - i * 5, i);
        run.dir.write("s3.bmp", "BM unloadable");
        QDir(run.dir.path()).mkpath("s6.jpg");
        QDir(run.dir.path()).mkpath("Thumbs/th_s8.jpg");
        run.view.thumbs = true;
        run.view.deleteSource = true;
        run.view.count = "7";
    };
    CommandRun sequential(true);
    prepare(sequential);
    sequential.run();
    for (const int workers : {1, 2, 4}) {
        CommandRun threaded(false, workers);
        prepare(threaded);
        threaded.run();
        EXPECT_EQ(snapshot(threaded.dir.path()), snapshot(sequential.dir.path())) << workers;
        EXPECT_EQ(threaded.messages.messages, sequential.messages.messages) << workers;
        EXPECT_EQ(threaded.view.stepsWithoutYields(), sequential.view.stepsWithoutYields()) << workers;
    }
}

TEST(ConvertCommand, WorkerThreadsMatchOneThreadThroughTheThumbnailPass)
{
    auto prepare = [](CommandRun &run) {
        for (int i = 0; i < 10; ++i)
            run.screenshot(QStringLiteral("s%1.bmp").arg(i), 200 + i * 13, 150 - i * 5, i);
        QDir(run.dir.path()).mkpath("s6.jpg");
        QDir(run.dir.path()).mkpath("Thumbs/th_s8.jpg");
        run.dir.write("Thumbs/s9.bmp", "BM a leftover that is replaced");
        run.dir.write("Thumbs/zz.bmp", "BM a leftover that cannot be loaded");
        run.view.thumbs = true;
        run.view.deleteSource = true;
        run.view.count = "10";
    };
    CommandRun sequential(true);
    prepare(sequential);
    sequential.run();
    EXPECT_FALSE(sequential.ended());
    for (const int workers : {1, 2, 4}) {
        CommandRun threaded(false, workers);
        prepare(threaded);
        threaded.run();
        EXPECT_EQ(snapshot(threaded.dir.path()), snapshot(sequential.dir.path())) << workers;
        EXPECT_EQ(threaded.messages.messages, sequential.messages.messages) << workers;
        EXPECT_EQ(threaded.view.stepsWithoutYields(), sequential.view.stepsWithoutYields()) << workers;
    }
}

TEST(ConvertCommand, ThumbnailsFollowChangesMadeWhileTheScreenshotPassRuns)
{
    // Worker threads reduce each screenshot while the screenshot pass has it
    // loaded; a screenshot rewritten or a width changed afterwards must win.
    const struct {
        const char *what;
        bool rewrite;
        QString width;
        QSize expected;
    } rows[] = {
        {"nothing changes", false, "70", {64, 48}},
        {"the screenshot is rewritten", true, "70", {70, 52}},
        {"the width is changed", false, "32", {32, 24}},
    };
    for (const auto &row : rows) {
        CommandRun run(false, 2);
        for (int i = 0; i < 6; ++i)
            run.screenshot(QStringLiteral("s%1.bmp").arg(i), 64, 48, i);
        run.view.thumbs = true;
        run.view.onYield = [&](int) {
            if (!run.view.steps.contains("caption:Converting (5 of 0)"))
                return;
            if (row.rewrite)
                run.dir.write("s0.bmp", screenshotFile(640, 480, 9));
            run.view.width = row.width;
        };
        run.run();
        EXPECT_TRUE(run.messages.messages.empty()) << row.what;
        EXPECT_EQ(QImage(run.dir.file("Thumbs/th_s0.jpg")).size(), row.expected) << row.what;
    }
}
