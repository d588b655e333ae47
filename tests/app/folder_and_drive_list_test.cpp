#include "app/drive_list.h"
#include "app/folder_list.h"

#include "support/qt_print.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace grelm;
using grelm::test::TempFolder;

namespace {

Drive drive(const char *root, const char *name)
{
    return {FilePath(root), QString::fromUtf8(name)};
}

GameFolder game(const char *path, const char *name)
{
    return {FilePath(path), FilePath(name)};
}

QList<FilePath> paths(std::initializer_list<const char *> texts)
{
    QList<FilePath> list;
    for (const char *text : texts)
        list << FilePath(text);
    return list;
}

} // namespace

TEST(DriveList, EntryTextIsTheRootOrFolderThenTheBracketedName)
{
    EXPECT_EQ(driveEntryText(drive("/", "")), QStringLiteral("/"));
    EXPECT_EQ(driveEntryText(drive("/media/usb", "SYSTEM")), QStringLiteral("/media/usb [SYSTEM]"));
    EXPECT_EQ(gameEntryText(game("/g/caf\xe9/cstrike", "Counter-Strike")),
              QStringLiteral("/g/caf\uFFFD/cstrike [Counter-Strike]"));
    EXPECT_EQ(gameEntryText(game("/g/mod", "Caf\xe9 Mod")), QStringLiteral("/g/mod [Caf\uFFFD Mod]"));
}

TEST(DriveList, TheDriveOfAPathIsTheDeepestRootHoldingIt)
{
    const QList<Drive> drives = {drive("/", ""), drive("/work", ""), drive("/work2", ""), drive("/work/deep", "")};
    struct Row { const char *path; std::optional<qsizetype> drive; };
    const Row rows[] = {{"/", 0}, {"/home/x", 0}, {"/work", 1}, {"/work/", 1}, {"/work/a/b", 1},
                        {"/workx", 0}, {"/work2/a", 2}, {"/work/deep/er", 3}, {"/work/deeper", 1}};
    for (const Row &r : rows)
        EXPECT_EQ(driveIndexOf(drives, FilePath(r.path)), r.drive) << r.path;
    EXPECT_EQ(driveIndexOf({drive("/work", "")}, FilePath("/home")), std::nullopt);
}

TEST(DriveList, SelectsTheDriveHoldingAFolderOrElseTheRootGamesListedAfterTheDrives)
{
    const QList<GameFolder> hl = {game("/g/valve", "Half-Life"), game("/work/cstrike", "Counter-Strike")};
    struct Row {
        const char *name;
        QList<Drive> drives;
        QList<GameFolder> games;
        const char *path;
        QStringList entries;
        const char *selected;
    };
    const Row rows[] = {
        {"a drive holds it", {drive("/", ""), drive("/work", "W")}, {}, "/work/a", {"/", "/work [W]"}, "/work [W]"},
        {"no drive holds it: the root added", {drive("/work", "W"), drive("/x", "")}, {}, "/home/me", {"/", "/work [W]", "/x"}, "/"},
        {"no drives at all", {}, {}, "/home/me", {"/"}, "/"},
        {"games after the drives; a game folder is no drive", {drive("/", ""), drive("/work", "W")}, hl, "/work/cstrike",
         {"/", "/work [W]", "/g/valve [Half-Life]", "/work/cstrike [Counter-Strike]"}, "/work [W]"},
        {"games stay after the root added", {drive("/work", "W")}, hl, "/home/me",
         {"/", "/work [W]", "/g/valve [Half-Life]", "/work/cstrike [Counter-Strike]"}, "/"},
    };
    for (const Row &r : rows) {
        DriveList list;
        list.setDrives(r.drives);
        for (const GameFolder &game : r.games)
            list.addGameFolder(game);
        list.selectDriveOf(FilePath(r.path));
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
    list.selectDriveOf(FilePath::fromEscapedText(QDir::currentPath()));
    const std::optional<Drive> current = list.currentDrive();
    ASSERT_TRUE(current.has_value());
    EXPECT_TRUE(driveIndexOf({*current}, FilePath::fromEscapedText(QDir::currentPath())).has_value())
        << current->rootPath.bytes().toStdString();
}

TEST(FolderList, TheChainRunsFromTheRootDown)
{
    EXPECT_EQ(folderChain(FilePath("/")), paths({"/"}));
    EXPECT_EQ(folderChain(FilePath("/a/b/")), paths({"/", "/a", "/a/b"}));
}

TEST(FolderList, SubFoldersAreAllFoldersHiddenOnesIncludedSortedIgnoringCase)
{
    TempFolder dir;
    for (const char *name : {"beta", "Alpha", "gamma", ".steam", "_x"})
        QDir().mkpath(dir.file(QString::fromLatin1(name)));
    dir.write(QStringLiteral("file.txt"), "x");
    dir.write(QStringLiteral(".hidden-file"), "x");
    EXPECT_EQ(readSubFolders(dir.filePath()), paths({".steam", "_x", "Alpha", "beta", "gamma"}));
    EXPECT_EQ(readSubFolders(dir.filePath(QStringLiteral("missing"))), std::nullopt);
    EXPECT_EQ(readSubFolders(dir.filePath(QStringLiteral("file.txt"))), std::nullopt);
}

TEST(FolderList, ListsTheChainThenTheSubFoldersAndRefusesWhatItCannotRead)
{
    TempFolder dir;
    QDir().mkpath(dir.file(QStringLiteral("top/b")));
    QDir().mkpath(dir.file(QStringLiteral("top/a")));
    const FilePath top = FilePath::fromEscapedText(QDir(dir.file(QStringLiteral("top"))).canonicalPath());
    FolderList list;
    QSignalSpy changes(&list, &FolderList::pathChanged);
    ASSERT_TRUE(list.setPath(top + "/"));
    EXPECT_EQ(list.path(), top);
    EXPECT_EQ(changes.count(), 1);

    QStringList shown;
    for (QTreeWidgetItemIterator it(&list); *it; ++it)
        shown << (*it)->text(0);
    const QList<FilePath> chain = folderChain(top);
    EXPECT_EQ(shown.size(), chain.size() + 2);
    EXPECT_EQ(shown.mid(chain.size() - 1), QStringList({"top", "a", "b"}));
    EXPECT_EQ(list.currentItem()->text(0), QStringLiteral("top"));

    EXPECT_FALSE(list.setPath(dir.filePath(QStringLiteral("missing"))));
    EXPECT_EQ(list.path(), top);
    EXPECT_TRUE(list.setPath(top)); // the same folder again is no change
    EXPECT_EQ(changes.count(), 1);
}
