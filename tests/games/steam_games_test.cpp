#include "games/game_discovery.h"
#include "games/steam_libraries.h"
#include "games/wine_prefixes.h"

#include "support/fake_steam.h"
#include "support/qt_print.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace grelm {
namespace {

// A path as the cases write it: valid UTF-8, or a byte as U+DC80 + byte.
FilePath pathOf(const QString &text)
{
    return FilePath::fromEscapedText(text);
}

QList<FilePath> pathsOf(const QStringList &texts)
{
    QList<FilePath> paths;
    for (const QString &text : texts)
        paths << pathOf(text);
    return paths;
}

// The text of raw bytes, as the cases write it.
QString textOf(const char *bytes)
{
    return FilePath(QByteArray(bytes)).escapedText();
}

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
        {"a path of any bytes", head + "\"0\" { \"path\" \"/caf\xe9\" } }", {textOf("/caf\xe9")}},
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
        EXPECT_EQ(libraryPathsIn(c.text), pathsOf(c.paths)) << c.name;
}

TEST(SteamLibraries, AWindowsSteamPathIsMappedOnlyOnDriveC)
{
    const QString c = QStringLiteral("/p/drive_c");
    const struct {
        QByteArray path;
        std::optional<QString> folder;
    } rows[] = {
        {"C:\\Program Files (x86)\\Steam", c + QStringLiteral("/Program Files (x86)/Steam")},
        {"c:/Games//Steam Library/./", c + QStringLiteral("/Games/Steam Library")},
        {"C:\\", c},
        {"C:\\caf\xe9", c + textOf("/caf\xe9")},
        {"D:\\SteamLibrary", std::nullopt},   // another drive: a dosdevices link, not followed
        {"Z:\\home\\me", std::nullopt},     // z: is the whole file system
        {"C:\\Steam\\..\\..\\etc", std::nullopt},
        {"C:Steam", std::nullopt},
        {"\\\\server\\share", std::nullopt},
        {"/home/me/Steam", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &row : rows)
        EXPECT_EQ(driveCFolderOf(row.path, pathOf(c)), row.folder ? std::optional(pathOf(*row.folder)) : std::nullopt)
            << row.path.constData();
}

// A fake home: a native Steam root and its links from ~/.steam, a Flatpak
// root, a Snap root whose libraryfolders.vdf is damaged, and libraries
// outside the home named in those files; other games of the native root;
// Wine prefixes of every kind, with decoys.
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
        makeOtherSteamGames();
        makeWinePrefixes();
    }

    void TearDown() override { qputenv("WINEPREFIX", m_previousWinePrefix); }

    // Makes the folder `path` of the sandbox, with a liblist.gam holding `libList` unless it is null.
    void game(const QString &path, const QByteArray &libList = {})
    {
        ASSERT_TRUE(QDir().mkpath(m_sandbox.file(path)));
        if (!libList.isNull())
            m_sandbox.write(path + QStringLiteral("/liblist.gam"), libList);
    }

    // Other GoldSrc games of the native root, each in an install of its own.
    void makeOtherSteamGames()
    {
        const QString common = QStringLiteral("home/.local/share/Steam/steamapps/common/");
        game(common + QStringLiteral("Sven Co-op/svencoop"), "game \"Sven Co-op\"\n");
        game(common + QStringLiteral("Sven Co-op/svencoop/screenshots")); // where this game keeps them
        game(common + QStringLiteral("Sven Co-op/svencoop_addon"));       // no liblist.gam
        game(common + QStringLiteral("Cry of Fear/cryoffear"), "game \"Cry of Fear\"\n");
        QByteArray binary(300000, '\0'); // huge and binary: its first lines are read, nothing more
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i % 251 * 7 % 251);
        game(common + QStringLiteral("Odd/data"), binary);
        game(common + QStringLiteral("Odd/tabbed"), "game \"A\tB\"\n"); // a tab would split --find-games' line
        test::makeLink(QStringLiteral(".."), m_sandbox.file(common + QStringLiteral("Loop"))); // a link loop
    }

    // Wine prefixes: $WINEPREFIX with a Windows Steam and a second library;
    // ~/.wine with the Windows edition's own C:\SIERRA\Half-Life, reached again from
    // Lutris's folder; Lutris, Bottles (native and Flatpak), PlayOnLinux and a
    // Proton prefix of a non-Steam game; decoys in and around them.
    void makeWinePrefixes()
    {
        m_previousWinePrefix = qgetenv("WINEPREFIX");
        qputenv("WINEPREFIX", m_sandbox.file(QStringLiteral("prefixes/cs16")).toUtf8());
        const QString own = QStringLiteral("prefixes/cs16/drive_c/");
        game(own + QStringLiteral("Program Files (x86)/Steam/steamapps/common/Half-Life/cstrike"), "game \"CS\"\n");
        game(own + QStringLiteral("SteamLibrary/steamapps/common/Half-Life/czero"));
        m_sandbox.write(own + QStringLiteral("Program Files (x86)/Steam/steamapps/libraryfolders.vdf"),
                        "\"libraryfolders\" { \"0\" { \"path\" \"C:\\\\Program Files (x86)\\\\Steam\" }"
                        " \"1\" { \"path\" \"C:\\\\SteamLibrary\" } \"2\" { \"path\" \"D:\\\\Games\" }"
                        " \"3\" { \"path\" \"Z:\\\\\" } }");
        game(own + QStringLiteral("Games/Fifo"));
        ::mkfifo(m_sandbox.filePath(own + QStringLiteral("Games/Fifo/liblist.gam")).data(), 0644);
        game(QStringLiteral("elsewhere/cstrike"), "game \"Linked\"\n");
        test::makeLink(m_sandbox.file(QStringLiteral("elsewhere")), m_sandbox.file(own + QStringLiteral("Games/linked")));
        test::makeLink(QStringLiteral("."), m_sandbox.file(own + QStringLiteral("loop")));
        test::makeLink(QStringLiteral("../drive_c"), m_sandbox.file(QStringLiteral("prefixes/cs16/dosdevices/c:")));
        test::makeLink(QStringLiteral("/"), m_sandbox.file(QStringLiteral("prefixes/cs16/dosdevices/z:")));

        const QString wine = QStringLiteral("home/.wine/drive_c/");
        game(wine + QStringLiteral("SIERRA/Half-Life/cstrike"), "game \"Counter-Strike\"\n");
        game(wine + QStringLiteral("SIERRA/Half-Life/valve")); // Valve's own: found without liblist.gam
        game(wine + QStringLiteral("SIERRA/Half-Life/logos"));
        game(wine + QStringLiteral("Games/cstrike"));           // no liblist.gam: no game
        game(wine + QStringLiteral("windows/system32/mod"), "game \"Skipped\"\n");
        game(wine + QStringLiteral("users/me/mod"), "game \"Skipped\"\n");
        test::makeLink(QStringLiteral("/"), m_sandbox.file(QStringLiteral("home/.wine/dosdevices/z:")));

        game(QStringLiteral("home/Games/counter-strike/drive_c/Games/Counter-Strike 1.6/cstrike"), "game \"CS 1.6\"\n");
        game(QStringLiteral("home/Games/counter-strike/drive_c/a/b/c/deep"), "game \"Too Deep\"\n");
        test::makeLink(QStringLiteral("../.wine"), m_sandbox.file(QStringLiteral("home/Games/same")));
        game(QStringLiteral("home/Games/not-a-prefix/cstrike"), "game \"No Prefix\"\n");
        game(QStringLiteral("outside/Games/valve"), "game \"Outside\"\n");
        test::makeLink(m_sandbox.file(QStringLiteral("outside")), m_sandbox.file(QStringLiteral("home/Games/evil/drive_c")));

        game(QStringLiteral("home/.local/share/bottles/bottles/CS/drive_c/Program Files/Steam/steamapps/common/"
                            "Half-Life/valve"));
        game(QStringLiteral("home/.var/app/com.usebottles.bottles/data/bottles/bottles/HL/drive_c/Half-Life/ricochet"),
             "game \"Ricochet\"\n");
        game(QStringLiteral("home/.PlayOnLinux/wineprefix/CS16/drive_c/Program Files/Valve"));
        m_sandbox.mkdirRaw("home/.PlayOnLinux/wineprefix/CS16/drive_c/Program Files/Valve/caf\xe9");
        m_sandbox.writeRaw("home/.PlayOnLinux/wineprefix/CS16/drive_c/Program Files/Valve/caf\xe9/liblist.gam",
                           "game \"Caf\xe9\"\r\n");
        const QString proton = QStringLiteral("home/.local/share/Steam/steamapps/compatdata/");
        game(proton + QStringLiteral("3000000000/pfx/drive_c/Games/svencoop"), "game \"Sven Co-op\"\n");
        game(proton + QStringLiteral("3000000000/pfx/drive_c/Games/svencoop/screenshots"));
        game(proton + QStringLiteral("70/pfx"));                // no drive_c: no prefix
    }

    QString canonical(const char *path) const { return QDir(m_sandbox.file(QLatin1String(path))).canonicalPath(); }

    test::TempFolder m_sandbox;
    QString m_home;
    QByteArray m_previousWinePrefix;
};

TEST_F(GameDiscovery, FindsEachGameFolderOnceAcrossRootsAndLibraries)
{
    const QString hl = QStringLiteral("/steamapps/common/Half-Life/");
    const QString common = canonical("home/.local/share/Steam") + QStringLiteral("/steamapps/common/");
    const QString native = canonical("home/.local/share/Steam") + hl;
    const QString cs16 = canonical("prefixes/cs16/drive_c");
    const QString wine = canonical("home/.wine/drive_c");
    const QList<std::pair<QString, QString>> expectedTexts = {
        {common + QStringLiteral("Cry of Fear/cryoffear"), QStringLiteral("Cry of Fear")},
        {native + QStringLiteral("cstrike"), QStringLiteral("Counter-Strike")},
        {native + QStringLiteral("mymod"), QStringLiteral("My Mod")},
        {native + QStringLiteral("nameless"), QStringLiteral("nameless")},
        {native + QStringLiteral("valve"), QStringLiteral("Half-Life")},
        {common + QStringLiteral("Odd/data"), QStringLiteral("data")},
        {common + QStringLiteral("Odd/tabbed"), QStringLiteral("A B")},
        {common + QStringLiteral("Sven Co-op/svencoop/screenshots"), QStringLiteral("Sven Co-op")},
        {canonical("disk/SteamLibrary") + hl + QStringLiteral("czero"), QStringLiteral("Counter-Strike: Condition Zero")},
        {canonical("home/.var/app/com.valvesoftware.Steam/.local/share/Steam") + hl + QStringLiteral("dod"),
         QStringLiteral("Day of Defeat")},
        {canonical("usb/SteamLibrary") + hl + QStringLiteral("tfc"), QStringLiteral("Team Fortress Classic")},
        {cs16 + QStringLiteral("/Program Files (x86)/Steam") + hl + QStringLiteral("cstrike"),
         QStringLiteral("Counter-Strike")},
        {cs16 + QStringLiteral("/SteamLibrary") + hl + QStringLiteral("czero"),
         QStringLiteral("Counter-Strike: Condition Zero")},
        {wine + QStringLiteral("/SIERRA/Half-Life/cstrike"), QStringLiteral("Counter-Strike")},
        {wine + QStringLiteral("/SIERRA/Half-Life/valve"), QStringLiteral("Half-Life")},
        {canonical("home/Games/counter-strike/drive_c/Games/Counter-Strike 1.6/cstrike"), QStringLiteral("Counter-Strike")},
        {canonical("home/.local/share/bottles/bottles/CS/drive_c/Program Files/Steam") + hl + QStringLiteral("valve"),
         QStringLiteral("Half-Life")},
        {canonical("home/.var/app/com.usebottles.bottles/data/bottles/bottles/HL/drive_c/Half-Life/ricochet"),
         QStringLiteral("Ricochet")},
        {canonical("home/.PlayOnLinux/wineprefix/CS16/drive_c/Program Files/Valve") + textOf("/caf\xe9"),
         textOf("Caf\xe9")},
        {canonical("home/.local/share/Steam/steamapps/compatdata/3000000000/pfx/drive_c/Games/svencoop/screenshots"),
         QStringLiteral("Sven Co-op")},
    };
    QList<GameFolder> expected;
    for (const auto &[path, name] : expectedTexts)
        expected << GameFolder{pathOf(path), pathOf(name)};
    EXPECT_EQ(findGameFolders(pathOf(m_home)), expected);
}

// The prefixes: each once, however it is reached; none without a drive_c of its own.
TEST_F(GameDiscovery, FindsEachWinePrefixOnce)
{
    GameSearch search;
    const QStringList expected = {
        canonical("prefixes/cs16"),
        canonical("home/.wine"),
        canonical("home/Games/counter-strike"),
        canonical("home/.local/share/bottles/bottles/CS"),
        canonical("home/.var/app/com.usebottles.bottles/data/bottles/bottles/HL"),
        canonical("home/.PlayOnLinux/wineprefix/CS16"),
        canonical("home/.local/share/Steam/steamapps/compatdata/3000000000/pfx"),
    };
    EXPECT_EQ(winePrefixes(pathOf(m_home), m_sandbox.filePath(QStringLiteral("prefixes/cs16")), steamLibraries(pathOf(m_home)),
                           search),
              pathsOf(expected));
}

// The search hands each folder over as found, stops when told, and keeps to its limits.
TEST_F(GameDiscovery, StopsWhenToldOrAtItsLimits)
{
    const qsizetype inSteam = 11; // the folders of the native libraries, before any prefix
    struct Row {
        const char *name;
        int stopAfter;
        SearchLimits limits;
        qsizetype found;
    };
    const Row rows[] = {
        {"the sink stops it after two", 2, {}, 2},
        {"no folder may be listed", 0, {0, 5000, std::chrono::milliseconds(2000), {}}, 0},
        {"no time", 0, {50000, 5000, std::chrono::milliseconds(0), {}}, 0},
        {"asked to stop", 0, {50000, 5000, std::chrono::milliseconds(2000), [] { return true; }}, 0},
        {"each prefix's share spent before its games", 0, {50000, 1, std::chrono::milliseconds(2000), {}}, inSteam},
    };
    for (const Row &row : rows) {
        QList<GameFolder> handed;
        const QList<GameFolder> found = findGameFolders(
            pathOf(m_home),
            [&](const GameFolder &game) {
                handed << game;
                return row.stopAfter == 0 || handed.size() < row.stopAfter;
            },
            row.limits);
        EXPECT_EQ(found.size(), row.found) << row.name;
        EXPECT_EQ(handed, found) << row.name;
    }
}

TEST_F(GameDiscovery, AHomeWithoutSteamOrWineHasNone)
{
    qunsetenv("WINEPREFIX");
    EXPECT_TRUE(findGameFolders(m_sandbox.filePath(QStringLiteral("disk"))).isEmpty());
    EXPECT_TRUE(findGameFolders(m_sandbox.filePath(QStringLiteral("missing"))).isEmpty());
}

} // namespace
} // namespace grelm
