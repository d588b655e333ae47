#include "games/steam_games.h"
#include "games/steam_libraries.h"

#include "core/file_names.h"
#include "support/fake_steam.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace grelm {
namespace {

struct VdfCase {
    const char *name;
    QByteArray text;
    QStringList paths;
};

// A block of the current layout naming one library.
QByteArray block(const char *key, const char *path)
{
    return QByteArray("\"") + key + "\" { \"path\" \"" + path + "\" \"apps\" { \"70\" \"1\" } }\n";
}

const std::vector<VdfCase> &vdfCases()
{
    static const QByteArray head = "\"libraryfolders\"\n{\n";
    static const std::vector<VdfCase> cases = {
        {"two libraries", head + block("0", "/a") + block("1", "/b") + "}", {"/a", "/b"}},
        {"older layout: numbered values", "\"LibraryFolders\" { \"TimeNextStatsReport\" \"1\" \"1\" \"/old\" }", {"/old"}},
        {"comments, bare words, odd white space",
         "// made by Steam\r\nlibraryfolders{\"0\"\t\v{path /x // where\n\"label\"\"\"}}", {"/x"}},
        {"escapes in quotes", head + "\"0\" { \"path\" \"/a \\\"b\\\" c\\\\d\" } }", {"/a \"b\" c\\d"}},
        {"a platform condition is ignored", head + "\"0\" { \"path\" \"/c\" [$LINUX] } }", {"/c"}},
        {"a path of any bytes", head + "\"0\" { \"path\" \"/caf\xe9\" } }", {decodeFileName("/caf\xe9")}},
        {"other top keys and relative or Windows paths skipped",
         "\"other\" { \"0\" { \"path\" \"/no\" } }\n" + head + block("0", "lib") + block("1", "D:\\\\Steam") + "}",
         {}},
        {"cut off inside a block: what was read", head + block("0", "/a") + "\"1\" { \"path\" \"/b\"", {"/a", "/b"}},
        {"cut off inside a quote", head + block("0", "/a") + "\"1\" { \"path\" \"/b", {"/a"}},
        {"a key without a value", head + block("0", "/a") + "\"1\" } " + block("2", "/c") + "}", {"/a"}},
        {"stray braces", "}}}{{{" + head + block("0", "/a") + "}", {}},
        {"an opening brace without a key", head + block("0", "/a") + QByteArray(100000, '{'), {"/a"}},
        {"blocks nested past the limit", head + block("0", "/a") + QByteArray("\"k\" {").repeated(100000), {"/a"}},
        {"empty", "", {}},
    };
    return cases;
}

TEST(SteamLibraries, LibraryFoldersFileGivesThePathsItNames)
{
    for (const VdfCase &c : vdfCases())
        EXPECT_EQ(libraryPathsIn(c.text), c.paths) << c.name;
}

// A fake home: a native Steam root and its links from ~/.steam, a Flatpak
// root, a Snap root whose libraryfolders.vdf is damaged, and libraries
// outside the home named in those files.
class GameDiscovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_home = m_sandbox.file(QStringLiteral("home"));
        const QString native = m_home + QStringLiteral("/.local/share/Steam");
        const QString flatpak = m_home + QStringLiteral("/.var/app/com.valvesoftware.Steam/.local/share/Steam");
        const QString snap = m_home + QStringLiteral("/snap/steam/common/.local/share/Steam");
        const QString second = m_sandbox.file(QStringLiteral("disk/SteamLibrary"));
        const QString third = m_sandbox.file(QStringLiteral("usb/SteamLibrary"));
        test::makeGameFolder(native, QStringLiteral("valve"), "game \"Half-Life\"\n");
        test::makeGameFolder(native, QStringLiteral("cstrike"), "game \"Counter-Strike\"\n");
        test::makeGameFolder(native, QStringLiteral("mymod"), "// my mod\r\ngamedll \"dlls/hl.so\"\r\nGame\t\"My Mod\"\r\n");
        test::makeGameFolder(native, QStringLiteral("nameless"), "gamedll \"dlls/hl.so\"\n");
        test::makeGameFolder(native, QStringLiteral("valve_hd"));
        test::makeLink(QStringLiteral("../.local/share/Steam"), m_home + QStringLiteral("/.steam/steam"));
        test::makeLink(m_home + QStringLiteral("/.steam/steam"), m_home + QStringLiteral("/.steam/root"));
        test::makeLink(native + QStringLiteral("/steamapps/common/Half-Life/valve"),
                       native + QStringLiteral("/steamapps/common/Half-Life/valve_link"));
        test::writeLibraryFolders(native, {native, second, m_sandbox.file(QStringLiteral("missing"))});
        test::makeGameFolder(second, QStringLiteral("czero")); // Valve's own: found without liblist.gam
        test::makeGameFolder(flatpak, QStringLiteral("dod"), "game \"Day of Defeat\"\n");
        test::makeLink(second, m_sandbox.file(QStringLiteral("link-to-disk")));
        test::writeLibraryFolders(flatpak, {flatpak, m_sandbox.file(QStringLiteral("link-to-disk"))});
        test::makeGameFolder(third, QStringLiteral("tfc"));
        m_sandbox.write(QStringLiteral("home/snap/steam/common/.local/share/Steam/steamapps/libraryfolders.vdf"),
                        "\"libraryfolders\" { \"0\" { \"path\" \"" + third.toUtf8() + "\" } \"1\" { \"pa");
        // The links lead where they should: every duplicate is real.
        for (const char *link : {"home/.steam/steam", "home/.steam/root", "link-to-disk"})
            ASSERT_TRUE(QFileInfo(m_sandbox.file(QLatin1String(link))).isDir()) << link;
    }

    QString canonical(const char *path) const { return QDir(m_sandbox.file(QLatin1String(path))).canonicalPath(); }

    test::TempFolder m_sandbox;
    QString m_home;
};

TEST_F(GameDiscovery, FindsEachGameFolderOnceAcrossRootsAndLibraries)
{
    const QString hl = QStringLiteral("/steamapps/common/Half-Life/");
    const QString native = canonical("home/.local/share/Steam") + hl;
    const QList<GameFolder> expected = {
        {native + QStringLiteral("cstrike"), QStringLiteral("Counter-Strike")},
        {native + QStringLiteral("mymod"), QStringLiteral("My Mod")},
        {native + QStringLiteral("nameless"), QStringLiteral("nameless")},
        {native + QStringLiteral("valve"), QStringLiteral("Half-Life")},
        {canonical("disk/SteamLibrary") + hl + QStringLiteral("czero"), QStringLiteral("Counter-Strike: Condition Zero")},
        {canonical("home/.var/app/com.valvesoftware.Steam/.local/share/Steam") + hl + QStringLiteral("dod"),
         QStringLiteral("Day of Defeat")},
        {canonical("usb/SteamLibrary") + hl + QStringLiteral("tfc"), QStringLiteral("Team Fortress Classic")},
    };
    EXPECT_EQ(findGameFolders(m_home), expected);
}

TEST_F(GameDiscovery, AHomeWithoutSteamHasNone)
{
    EXPECT_TRUE(findGameFolders(m_sandbox.file(QStringLiteral("disk"))).isEmpty());
    EXPECT_TRUE(findGameFolders(m_sandbox.file(QStringLiteral("missing"))).isEmpty());
}

} // namespace
} // namespace grelm
