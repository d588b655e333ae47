#include "core/errors.h"
#include "core/folder_events.h"
#include "core/folder_listing.h"

#include "support/qt_print.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdio>

using namespace grelm;
using grelm::test::TempFolder;

namespace {

QList<FilePath> listAll(FolderListing &listing)
{
    QList<FilePath> names;
    while (auto name = listing.next())
        names << *name;
    return names;
}

} // namespace

TEST(Wildcard, MatchesIgnoringCase)
{
    struct Row { const char *name; const char *pattern; bool match; };
    const Row rows[] = {{"shot.bmp", "*.bmp", true}, {"SHOT.BMP", "*.bmp", true}, {"a.b.Bmp", "*.bmp", true},
                        {"shot.bmpx", "*.bmp", false}, {"bmp", "*.bmp", false}, {".bmp", "*.bmp", true},
                        {"ab", "a?", true}, {"a", "a?", false}, {"x", "*", true}};
    for (const Row &r : rows)
        EXPECT_EQ(matchesWildcard(QString::fromUtf8(r.name), QString::fromUtf8(r.pattern)), r.match)
            << r.name << " " << r.pattern;
}

TEST(FolderListing, ListsOnlyOrdinaryVisibleMatchingFiles)
{
    TempFolder dir;
    for (const char *name : {"b.bmp", "A.BMP", "c.Bmp", ".hidden.bmp", "notes.txt", "Thumbs/x.bmp"})
        dir.write(QString::fromUtf8(name), "x");
    QDir(dir.path()).mkdir(QStringLiteral("folder.bmp"));
    QFile::link(dir.file(QStringLiteral("b.bmp")), dir.file(QStringLiteral("link.bmp")));
    QFile::link(dir.file(QStringLiteral("missing")), dir.file(QStringLiteral("dangling.bmp")));

    const FilePath latin1 = dir.writeRaw("caf\xe9.bmp", "x"); // not UTF-8: listed with its bytes

    FolderListing listing(dir.filePath(), QStringLiteral("*.bmp"));
    const QList<FilePath> names = listAll(listing);
    EXPECT_EQ(names, (QList<FilePath>{FilePath("A.BMP"), FilePath("b.bmp"), FilePath("c.Bmp"), FilePath("caf\xe9.bmp"),
                                      FilePath("link.bmp")}));
    EXPECT_EQ(dir.filePath() / names.value(3), latin1);
}

TEST(FolderListing, TwoListingsKeepTheirOwnPositions)
{
    TempFolder dir;
    for (const char *name : {"1.bmp", "2.bmp", "3.bmp"})
        dir.write(QString::fromUtf8(name), "x");
    FolderListing first(dir.filePath(), QStringLiteral("*.bmp"));
    EXPECT_EQ(first.next(), FilePath("1.bmp"));
    FolderListing second(dir.filePath(), QStringLiteral("*.bmp"));
    EXPECT_EQ(listAll(second).size(), 3);
    EXPECT_EQ(first.next(), FilePath("2.bmp"));
}

TEST(FolderListing, AMissingFolderListsNothing)
{
    TempFolder dir;
    FolderListing missing(dir.filePath(QStringLiteral("nope")), QStringLiteral("*.bmp"));
    EXPECT_FALSE(missing.next());
    dir.write(QStringLiteral("file"), "x");
    FolderListing underAFile(dir.filePath(QStringLiteral("file")), QStringLiteral("*.bmp"));
    EXPECT_FALSE(underAFile.next());
}

TEST(JoinPath, ConcatenatesPlainly)
{
    EXPECT_EQ(FilePath() / "x.bmp", FilePath("/x.bmp"));
    EXPECT_EQ(FilePath("/a/") / FilePath("x"), FilePath("/a//x"));
}

// The kernel's word for what a watch needs: a file closed after writing or
// moved in (by its bytes), nothing for a file only opened, and the folder
// itself going away.
TEST(FolderEvents, FilesClosedOrMovedInAndTheFolderGoingAway)
{
    TempFolder dir;
    const QString folder = dir.file("game");
    QDir().mkpath(folder);
    dir.write("outside.bmp", "BM");
    FolderEvents events(FilePath::fromEscapedText(folder));
    ASSERT_TRUE(events.valid()) << events.error().toStdString();
    EXPECT_TRUE(events.take().empty());
    dir.write("game/shot.bmp", "BM");
    dir.writeRaw("game/caf\xe9.bmp", "BM");
    QFile(dir.file("game/shot.bmp")).open(QIODevice::ReadOnly); // read only: no event
    ASSERT_EQ(::rename(dir.file("outside.bmp").toUtf8().constData(), dir.file("game/moved.bmp").toUtf8().constData()), 0);
    std::vector<QByteArray> arrived;
    for (const FolderEvent &e : events.take()) {
        EXPECT_EQ(e.kind, FolderEvent::Kind::Arrived);
        arrived.push_back(e.name.bytes());
    }
    EXPECT_EQ(arrived, std::vector<QByteArray>({"shot.bmp", "caf\xe9.bmp", "moved.bmp"}));
    ASSERT_EQ(::rename(folder.toUtf8().constData(), dir.file("away").toUtf8().constData()), 0);
    const std::vector<FolderEvent> gone = events.take();
    ASSERT_FALSE(gone.empty());
    EXPECT_EQ(gone.back().kind, FolderEvent::Kind::Gone);
    EXPECT_FALSE(FolderEvents(dir.filePath("missing")).valid());
}
