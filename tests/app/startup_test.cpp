#include "main_window_fixture.h"

#include "app/bundled_qt.h"
#include "app/display_check.h"

#include "settings/screenshot_counter.h"
#include "core/user_messages.h"
#include "settings/setting_file.h"

#include <QCheckBox>
#include <QLabel>

namespace grelm::test {
namespace {

using StartupTest = MainWindowTest;

TEST_F(StartupTest, StoredFolderIsShownAndCounted)
{
    m_game.write(QStringLiteral("a.bmp"), "BM");
    m_game.write(QStringLiteral("b.BMP"), "BM");
    storeGameFolder();
    Frm_Converter &window = start();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(m_messages.messages.empty());
    EXPECT_EQ(text("TxtSetFolder"), m_game.path());
    EXPECT_EQ(text("txtPicturesFound"), QStringLiteral("2"));
}

TEST_F(StartupTest, MissingFileIsReportedBeforeTheWindowShows)
{
    Frm_Converter &window = start();
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(m_messages.messages.size(), 1u);
    EXPECT_EQ(m_messages.messages[0], settingFileMissingMessage());
    EXPECT_EQ(m_messages.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(m_messages.messages[0].title, QStringLiteral("File Not Found!"));
    EXPECT_EQ(text("TxtSetFolder"), QString());
    // An empty folder box counts the root folder, whatever it holds.
    EXPECT_EQ(text("txtPicturesFound"), QString::number(countScreenshots(FilePath())));
}

TEST_F(StartupTest, FileOfTwoLinesGivesTheSecondFolder)
{
    m_game.write(QStringLiteral("a.bmp"), "BM");
    m_program.write(QStringLiteral("SLoadPath.txt"), "\"/first/folder\"\r\n\"" + m_game.path().toUtf8() + "\"\r\n");
    start();
    EXPECT_TRUE(m_messages.messages.empty());
    EXPECT_EQ(text("TxtSetFolder"), m_game.path());
    EXPECT_EQ(text("txtPicturesFound"), QStringLiteral("1"));
}

TEST_F(StartupTest, FileWithLfLineEndsGivesTheFolderWithoutQuotes)
{
    m_program.write(QStringLiteral("SLoadPath.txt"), "\"" + m_game.path().toUtf8() + "\"\n");
    start();
    EXPECT_TRUE(m_messages.messages.empty());
    EXPECT_EQ(text("TxtSetFolder"), m_game.path());
    EXPECT_EQ(text("txtPicturesFound"), QStringLiteral("0"));
}

TEST_F(StartupTest, FreshStateIsIdle)
{
    storeGameFolder();
    start();
    EXPECT_FALSE(control("lblProgress")->isVisibleTo(m_window.get()));
    EXPECT_FALSE(control("picProgress")->isVisibleTo(m_window.get()));
    EXPECT_FALSE(control<QCheckBox>("chkThumbs")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("chkDelSource")->isChecked());
    EXPECT_EQ(text("txtThumbs"), QStringLiteral("70"));
    const QString hint = control<QLabel>("LblDefaultF")->text();
    EXPECT_EQ(hint.size(), 66);
    EXPECT_TRUE(hint.endsWith(QStringLiteral(": ")));
}

TEST(DisplayCheck, AWindowNeedsTheDisplayItsPlatformUses)
{
    struct Row { const char *platform, *x11, *wayland; bool available; };
    const Row rows[] = {
        {"", "", "", false},          {"", ":0", "", true},          {"", "", "wayland-0", true},
        {"xcb", "", "wayland-0", false}, {"xcb", ":99", "", true},     {"wayland", ":0", "", false},
        {"wayland-egl", "", "w", true}, {"offscreen", "", "", true},  {"minimal:enable_fonts", "", "", true},
        {"wayland;xcb", "", "", false}, {"wayland;xcb", ":0", "", true},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(displayAvailable(QString::fromLatin1(r.platform), QString::fromLatin1(r.x11), QString::fromLatin1(r.wayland)),
                  r.available)
            << r.platform << " | " << r.x11 << " | " << r.wayland;
    }
}

TEST(BundledQt, APortableProgramStartsOnAPlatformItCarries)
{
    struct Row {
        const char *requested;
        QStringList carried;
        const char *platform;
    };
    const QStringList xcb = {QStringLiteral("xcb")};
    const Row rows[] = {
        {"", xcb, "xcb"},
        {"wayland", xcb, "xcb"},
        {"wayland;xcb", xcb, "wayland;xcb"},
        {"xcb:nograb", xcb, "xcb:nograb"},
        {"offscreen", xcb, "xcb"},
        {"offscreen", {QStringLiteral("xcb"), QStringLiteral("offscreen")}, "offscreen"},
        {";", xcb, "xcb"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(bundledPlatform(QString::fromLatin1(r.requested), r.carried), QString::fromLatin1(r.platform)) << r.requested;
}

TEST(BundledQt, OnlyAFolderWithQtConfCarriesPlugins)
{
    TempFolder folder;
    folder.write(QStringLiteral("plugins/platforms/libqxcb.so"), "");
    folder.write(QStringLiteral("plugins/platforms/readme.txt"), "");
    EXPECT_EQ(carriedPlatforms(folder.filePath()), QStringList());
    folder.write(QStringLiteral("qt.conf"), "[Paths]\nPrefix = .\n");
    EXPECT_EQ(carriedPlatforms(folder.filePath()), QStringList{QStringLiteral("xcb")});
}

} // namespace
} // namespace grelm::test
