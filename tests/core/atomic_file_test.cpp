#include "core/atomic_file.h"
#include "core/errors.h"
#include "core/staging_leftovers.h"

#include "support/temp_folder.h"

#include <QDir>
#include <QFile>

#include <climits>
#include <ctime>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace grelm;
using grelm::test::TempFolder;

TEST(AtomicFile, ReplacesWholeAndLeavesNoTemporaryFile)
{
    TempFolder dir;
    dir.write(QStringLiteral("out.jpg"), "old");
    writeFileAtomically(dir.filePath(QStringLiteral("out.jpg")), "new contents", true);
    EXPECT_EQ(dir.read(QStringLiteral("out.jpg")), QByteArray("new contents"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(AtomicFile, AFailedWriteKeepsTheOldFileAndSaysWhy)
{
    // The target's folder is a regular file: the write fails even for root.
    TempFolder dir;
    dir.write(QStringLiteral("blocker"), "x");
    try {
        writeFileAtomically(dir.filePath(QStringLiteral("blocker/out.jpg")), "data");
        FAIL() << "no error";
    } catch (const FileError &e) {
        EXPECT_NE(std::string(e.what()).find("Not a directory"), std::string::npos) << e.what();
    }
    EXPECT_EQ(dir.read(QStringLiteral("blocker")), QByteArray("x"));
}

TEST(AtomicFile, DeletingAMissingFileFails)
{
    TempFolder dir;
    EXPECT_THROW(deleteFile(dir.filePath(QStringLiteral("none"))), FileError);
    dir.write(QStringLiteral("there"), "x");
    deleteFile(dir.filePath(QStringLiteral("there")));
    EXPECT_FALSE(dir.exists(QStringLiteral("there")));
}

TEST(AtomicFile, FlushesOnlyAFileOrFolderAndNeverWaitsForAPipe)
{
    const struct {
        const char *what;
        std::function<void(TempFolder &)> arrange;
        bool flushed;
    } rows[] = {
        {"a regular file", [](TempFolder &d) { d.write(QStringLiteral("out.jpg"), "x"); }, true},
        {"nothing", [](TempFolder &) {}, false},
        {"a pipe, whose opening would wait for a writer",
         [](TempFolder &d) { ASSERT_EQ(::mkfifo(d.filePath(QStringLiteral("out.jpg")).data(), 0644), 0); },
         false},
        {"a folder", [](TempFolder &d) { QDir(d.path()).mkdir(QStringLiteral("out.jpg")); }, true},
        {"a link to a pipe",
         [](TempFolder &d) {
             ASSERT_EQ(::mkfifo(d.filePath(QStringLiteral("pipe")).data(), 0644), 0);
             ASSERT_EQ(::symlink("pipe", d.filePath(QStringLiteral("out.jpg")).data()), 0);
         },
         false},
    };
    for (const auto &row : rows) {
        TempFolder dir;
        row.arrange(dir);
        bool flushed = true;
        try {
            syncFileToDisk(dir.filePath(QStringLiteral("out.jpg")));
        } catch (const FileError &) {
            flushed = false;
        }
        EXPECT_EQ(flushed, row.flushed) << row.what;
    }
}

TEST(AtomicFile, WritesNamesAsLongAsTheFileSystemAllows)
{
    // 255 bytes is the longest name; the hidden file beside it must still fit.
    const QString names[] = {QString(251, QLatin1Char('a')) + QStringLiteral(".jpg"),
                             QString(125, QChar(0xE9)) + QStringLiteral("x.jpg")};
    for (const QString &name : names) {
        TempFolder dir;
        ASSERT_EQ(QFile::encodeName(name).size(), 255);
        writeFileAtomically(dir.filePath(name), "whole", true);
        EXPECT_EQ(dir.read(name), QByteArray("whole"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

TEST(AtomicFile, NeverFollowsALinkPlantedAtATemporaryName)
{
    // Links at every name an older writer would have chosen (".name.pid.n.tmp")
    // point at a victim outside; none of them may be written through.
    TempFolder dir;
    dir.write(QStringLiteral("victim"), "precious");
    for (int n = 0; n < 2000; ++n) {
        const QString planted = dir.file(QStringLiteral(".out.jpg.%1.%2.tmp").arg(::getpid()).arg(n));
        ASSERT_TRUE(QFile::link(dir.file(QStringLiteral("victim")), planted));
    }
    for (int i = 0; i < 20; ++i)
        writeFileAtomically(dir.filePath(QStringLiteral("out.jpg")), "jpeg bytes");
    EXPECT_EQ(dir.read(QStringLiteral("victim")), QByteArray("precious"));
    EXPECT_EQ(dir.read(QStringLiteral("out.jpg")), QByteArray("jpeg bytes"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2002);
}

TEST(AtomicFile, TheWrittenFileCarriesTheGivenModificationTime)
{
    TempFolder dir;
    const FileTime when{1234567890, 123456789};
    writeFileAtomically(dir.filePath(QStringLiteral("dated.jpg")), "x", false, when);
    const auto stamp = fileStamp(dir.filePath(QStringLiteral("dated.jpg")));
    ASSERT_TRUE(stamp);
    EXPECT_TRUE(sameTime(stamp->modified, when));
}

TEST(AtomicFile, AStagedFileTakesItsNameOnlyWhenCommittedAndLeavesNothingOtherwise)
{
    enum class End { Commit, Discard, Drop, StageAgain, MoveAway };
    for (const End end : {End::Commit, End::Discard, End::Drop, End::StageAgain, End::MoveAway}) {
        TempFolder dir;
        dir.write(QStringLiteral("out.jpg"), "old");
        const FilePath out = dir.filePath(QStringLiteral("out.jpg"));
        {
            StagedFile file;
            file.stage(out, "new");
            EXPECT_TRUE(file.isStaged());
            EXPECT_EQ(dir.read(QStringLiteral("out.jpg")), QByteArray("old")); // not yet under its name
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
            StagedFile other;
            switch (end) {
            case End::Commit: file.commit(); break;
            case End::Discard: file.discard(); break;
            case End::Drop: break;
            case End::StageAgain: file.stage(out, "newer"); file.commit(); break;
            case End::MoveAway: other = std::move(file); other.commit(); break;
            }
            EXPECT_EQ(file.isStaged(), end == End::Drop) << int(end);
        }
        const bool committed = end == End::Commit || end == End::StageAgain || end == End::MoveAway;
        EXPECT_EQ(dir.read(QStringLiteral("out.jpg")),
                  !committed ? QByteArray("old") : end == End::StageAgain ? QByteArray("newer") : QByteArray("new"))
            << int(end);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << int(end);
    }
}

// Leftovers are the program's own staged files by name, and old by their
// change time: a file being staged right now carries its screenshot's old
// modification time and must stay.
TEST(StagingLeftovers, RemovesOnlyOwnStagedFilesChangedBeforeTheCutOff)
{
    const struct {
        QByteArray name;
        bool ours;
    } rows[] = {
        {".shot.jpg.0123456789abcdef.tmp", true},
        {"..00000000000000ff.tmp", true}, // a name cut to nothing
        {".th_\xc3\xa9.jpg.fedcba9876543210.tmp", true},
        {".shot.jpg.0123456789ABCDEF.tmp", false}, // the program writes lower case
        {".shot.jpg.0123456789abcde.tmp", false},
        {".shot.jpg.0123456789abcdefa.tmp", false},
        {"shot.jpg.0123456789abcdef.tmp", false},
        {".shot.jpg0123456789abcdef.tmp", false},
        {".shot.jpg.0123456789abcdef.tmp2", false},
        {".0123456789abcdef.tmp", false},
    };
    for (const auto &r : rows)
        EXPECT_EQ(isStagingName(r.name), r.ours) << r.name.constData();

    TempFolder dir;
    for (const char *name : {".old.jpg.0123456789abcdef.tmp", ".notes.tmp"})
        dir.write(QString::fromLatin1(name), "left behind");
    ASSERT_TRUE(QDir(dir.path()).mkdir(".dir.0123456789abcdef.tmp"));
    ASSERT_TRUE(QFile::link(dir.file(".notes.tmp"), dir.file(".link.0123456789abcdef.tmp")));
    ::usleep(20000); // past the coarse clock that dates changes
    FileTime cutOff{};
    ::clock_gettime(CLOCK_REALTIME, &cutOff);
    ::usleep(20000);
    StagedFile staging; // another run's, dated like a screenshot of 2001
    staging.stage(dir.filePath("new.jpg"), "being written", false, FileTime{1000000000, 0});
    EXPECT_EQ(removeStagingLeftovers(dir.filePath(), cutOff), 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 4);
    EXPECT_FALSE(dir.exists(".old.jpg.0123456789abcdef.tmp"));
    staging.commit();
    EXPECT_EQ(dir.read("new.jpg"), "being written");
    EXPECT_EQ(removeStagingLeftovers(dir.filePath("missing"), cutOff), 0);
}

// A command holds its folders open: once the path that led to one leads
// elsewhere (a folder above it made a link to another folder), what it
// stages, renames and deletes still happens in the folder it opened, and a
// name that is not a plain name in a held folder is refused.
TEST(HeldFolder, WritesRenamesAndDeletesOnlyInTheFolderItOpened)
{
    enum Step { Commit, WriteWhole, Delete, Flush, RemoveLeftovers };
    for (const Step step : {Commit, WriteWhole, Delete, Flush, RemoveLeftovers}) {
        TempFolder dir;
        for (const char *parent : {"one", "two"}) {
            ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromLatin1(parent) + "/game"));
            dir.write(QString::fromLatin1(parent) + "/game/shot.bmp", parent);
            dir.write(QString::fromLatin1(parent) + "/game/.shot.jpg.0123456789abcdef.tmp", parent);
        }
        ASSERT_TRUE(QFile::link(dir.file("one"), dir.file("parent")));
        const FilePath game = dir.filePath("parent/game");
        WriteFolders folders;
        folders.restrict();
        std::optional<HeldFolder> held = HeldFolder::open(game);
        ASSERT_TRUE(held);
        folders.hold(*std::move(held));
        StagedFile staged;
        staged.stage(fileAt(&folders, game / "shot.jpg"), "jpeg");
        // The parent now leads to the other folder.
        ASSERT_TRUE(QFile::remove(dir.file("parent")) && QFile::link(dir.file("two"), dir.file("parent")));
        EXPECT_FALSE(folders.find(game)->stillAtPath()) << step;
        switch (step) {
        case Commit: staged.commit(); break;
        case WriteWhole: writeFileAtomically(fileAt(&folders, game / "shot.jpg"), "jpeg"); break;
        case Delete: deleteFile(fileAt(&folders, game / "shot.bmp")); break;
        case Flush: folders.find(game)->sync(); break;
        case RemoveLeftovers: EXPECT_EQ(removeStagingLeftovers(*folders.find(game), FileTime{INT32_MAX, 0}), 2); break;
        }
        staged.discard();
        const QStringList untouched{".shot.jpg.0123456789abcdef.tmp", "shot.bmp"};
        EXPECT_EQ(QDir(dir.file("two/game")).entryList(QDir::Files | QDir::Hidden, QDir::Name), untouched) << step;
        EXPECT_EQ(dir.read("two/game/shot.bmp"), "two") << step;
        QStringList inOne = untouched;
        if (step == Commit || step == WriteWhole)
            inOne << "shot.jpg";
        else if (step == Delete)
            inOne.removeAll("shot.bmp");
        else if (step == RemoveLeftovers)
            inOne.removeFirst();
        EXPECT_EQ(QDir(dir.file("one/game")).entryList(QDir::Files | QDir::Hidden, QDir::Name), inOne) << step;
    }
    TempFolder dir;
    WriteFolders folders;
    folders.restrict();
    folders.hold(*HeldFolder::open(dir.filePath()));
    for (const FilePath &path : {dir.filePath("../out.jpg"), dir.filePath("sub/out.jpg"), dir.filePath(".."), dir.filePath(""),
                                 dir.filePath() + "x/out.jpg", FilePath("out.jpg")})
        EXPECT_THROW(fileAt(&folders, path), FileError) << path.bytes().toStdString();
    EXPECT_EQ(fileAt(&folders, dir.filePath("out.jpg")).name, QByteArray("out.jpg"));
}
