#include "settings/screenshot_counter.h"

#include "support/temp_folder.h"

#include <QDir>

#include <gtest/gtest.h>

#include <vector>

namespace grelm {
namespace {

TEST(ScreenshotCounterTest, CountsOrdinaryBitmapsDirectlyInTheFolder)
{
    test::TempFolder game;
    for (const char *name : {"shot1.bmp", "SHOT2.BMP", "Shot3.Bmp"})
        game.write(QLatin1String(name), "BM");
    // Not counted: other extensions, hidden files, sub-folders and what they hold.
    for (const char *name : {"shot1.jpg", "shot.bmp.txt", "bmp", ".hidden.bmp", "Thumbs/shot1.bmp", "readme.txt"})
        game.write(QLatin1String(name), "BM");
    QDir(game.path()).mkdir(QStringLiteral("folder.bmp"));

    std::vector<int> shown;
    EXPECT_EQ(countScreenshots(game.filePath(), [&](int n) { shown.push_back(n); }), 3);
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3})); // once per file found
    EXPECT_EQ(countScreenshots(game.filePath()), 3);   // a second count does not accumulate
}

TEST(ScreenshotCounterTest, NoBitmapsOrNoFolderCountsZero)
{
    test::TempFolder game;
    game.write(QStringLiteral("notes.txt"), "x");
    bool called = false;
    EXPECT_EQ(countScreenshots(game.filePath(), [&](int) { called = true; }), 0);
    EXPECT_EQ(countScreenshots(game.filePath(QStringLiteral("missing"))), 0);
    EXPECT_EQ(countScreenshots(game.filePath(QStringLiteral("notes.txt"))), 0);
    EXPECT_FALSE(called);
}

TEST(ScreenshotCounterTest, TrailingSeparatorStillNamesTheFolder)
{
    test::TempFolder game;
    game.write(QStringLiteral("a.bmp"), "BM");
    EXPECT_EQ(countScreenshots(game.filePath() + "/"), 1);
}

} // namespace
} // namespace grelm
