#include "app/drive_list.h"
#include "app/folder_list.h"

#include "core/file_names.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace grelm;
using grelm::test::TempFolder;

TEST(DriveList, EntryTextIsTheRootOrFolderThenTheBracketedName)
{
    EXPECT_EQ(driveEntryText({"/", ""}), QStringLiteral("/"));
    EXPECT_EQ(driveEntryText({"/media/usb", "SYSTEM"}), QStringLiteral("/media/usb [SYSTEM]"));
    EXPECT_EQ(gameEntryText({decodeFileName("/g/caf\xe9/cstrike"), "Counter-Strike"}),
              QStringLiteral("/g/caf\uFFFD/cstrike [Counter-Strike]"));
    EXPECT_EQ(gameEntryText({"/g/mod", decodeFileName("Caf\xe9 Mod")}), QStringLiteral("/g/mod [Caf\uFFFD Mod]"));
}

TEST(DriveList, TheDriveOfAPathIsTheDeepestRootHoldingIt)
{
    const QList<Drive> drives = {{"/", ""}, {"/work", ""}, {"/work2", ""}, {"/work/deep", ""}};
    struct Row { const char *path; std::optional<qsizetype> drive; };
    const Row rows[] = {{"/", 0}, {"/home/x", 0}, {"/work", 1}, {"/work/", 1}, {"/work/a/b", 1},
                        {"/workx", 0}, {"/work2/a", 2}, {"/work/deep/er", 3}, {"/work/deeper", 1}};
    for (const Row &r : rows)
        EXPECT_EQ(driveIndexOf(drives, QString::fromLatin1(r.path)), r.drive) << r.path;
    EXPECT_EQ(driveIndexOf({{"/work", ""}}, QStringLiteral("/home")), std::nullopt);
}

TEST(DriveList, SelectsTheDriveHoldingAFolderOrElseTheRootGamesListedAfterTheDrives)
{
    const QList<GameFolder> hl = {{"/g/valve", "Half-Life"}, {"/work/cstrike", "Counter-Strike"}};
    struct Row {
        const char *name;
        QList<Drive> drives;
        QList<GameFolder> games;
        const char *path;
        QStringList entries;
        const char *selected;
    };
    const Row rows[] = {
        {"a drive holds it", {{"/", ""}, {"/work", "W"}}, {}, "/work/a", {"/", "/work [W]"}, "/work [W]"},
        {"no drive holds it: the root added", {{"/work", "W"}, {"/x", ""}}, {}, "/home/me", {"/", "/work [W]", "/x"}, "/"},
        {"no drives at all", {}, {}, "/home/me", {"/"}, "/"},
        {"games after the drives; a game folder is no drive", {{"/", ""}, {"/work", "W"}}, hl, "/work/cstrike",
         {"/", "/work [W]", "/g/valve [Half-Life]", "/work/cstrike [Counter-Strike]"}, "/work [W]"},
        {"games stay after the root added", {{"/work", "W"}}, hl, "/home/me",
         {"/", "/work [W]", "/g/valve [Half-Life]", "/work/cstrike [Counter-Strike]"}, "/"},
    };
    for (const Row &r : rows) {
        DriveList list;
        list.setDrives(r.drives);
        for (const GameFolder &game : r.games)
            list.addGameFolder(game);
        list.selectDriveOf(QString::fromLatin1(r.path));
        QStringList entries;
        for (int i = 0; i < list.count(); ++i)
            entries << list.itemText(i);
        EXPECT_EQ(entries, r.entries) << r.name;
        EXPECT_EQ(list.value(), QString::fromLatin1(r.selected)) << r.name;
        EXPECT_EQ(list.currentGameFolder(), std::nullopt) << r.name;
        EXPECT_EQ(list.drives().size() + r.games.size(), list.count()) << r.name;
        for (qsizetype game = 0; game < r.games.size(); ++game) {
            list.setCurrentIndex(int(list.drives().size() + game));
            EXPECT_EQ(list.currentGameFolder(), r.games[game]) << r.name;
            EXPECT_EQ(list.currentDrive(), std::nullopt) << r.name;
        }
    }
}

TEST(DriveList, TheMachineGivesADriveHoldingTheCurrentFolder)
{
    DriveList list;
    list.setDrives(mountedDrives());
    list.selectDriveOf(QDir::currentPath());
    const std::optional<Drive> drive = list.currentDrive();
    ASSERT_TRUE(drive.has_value());
    EXPECT_TRUE(driveIndexOf({*drive}, QDir::currentPath()).has_value()) << drive->rootPath.toStdString();
}

TEST(FolderList, TheChainRunsFromTheRootDown)
{
    EXPECT_EQ(folderChain(QStringLiteral("/")), QStringList({"/"}));
    EXPECT_EQ(folderChain(QStringLiteral("/a/b/")), QStringList({"/", "/a", "/a/b"}));
}

TEST(FolderList, SubFoldersAreAllFoldersHiddenOnesIncludedSortedIgnoringCase)
{
    TempFolder dir;
    for (const char *name : {"beta", "Alpha", "gamma", ".steam", "_x"})
        QDir().mkpath(dir.file(QString::fromLatin1(name)));
    dir.write(QStringLiteral("file.txt"), "x");
    dir.write(QStringLiteral(".hidden-file"), "x");
    EXPECT_EQ(readSubFolders(dir.path()), QStringList({".steam", "_x", "Alpha", "beta", "gamma"}));
    EXPECT_EQ(readSubFolders(dir.file(QStringLiteral("missing"))), std::nullopt);
    EXPECT_EQ(readSubFolders(dir.file(QStringLiteral("file.txt"))), std::nullopt);
}

TEST(FolderList, ListsTheChainThenTheSubFoldersAndRefusesWhatItCannotRead)
{
    TempFolder dir;
    QDir().mkpath(dir.file(QStringLiteral("top/b")));
    QDir().mkpath(dir.file(QStringLiteral("top/a")));
    const QString top = QDir(dir.file(QStringLiteral("top"))).canonicalPath();
    FolderList list;
    QSignalSpy changes(&list, &FolderList::pathChanged);
    ASSERT_TRUE(list.setPath(top + QLatin1Char('/')));
    EXPECT_EQ(list.path(), top);
    EXPECT_EQ(changes.count(), 1);

    QStringList shown;
    for (QTreeWidgetItemIterator it(&list); *it; ++it)
        shown << (*it)->text(0);
    const QStringList chain = folderChain(top);
    EXPECT_EQ(shown.size(), chain.size() + 2);
    EXPECT_EQ(shown.mid(chain.size() - 1), QStringList({"top", "a", "b"}));
    EXPECT_EQ(list.currentItem()->text(0), QStringLiteral("top"));

    EXPECT_FALSE(list.setPath(dir.file(QStringLiteral("missing"))));
    EXPECT_EQ(list.path(), top);
    EXPECT_TRUE(list.setPath(top)); // the same folder again is no change
    EXPECT_EQ(changes.count(), 1);
}
