// The command line: which mode, which options, what is refused, and what --find-games prints.
#include "cli/command_line.h"
#include "games/game_discovery.h"
#include "games/game_folders.h"
#include "support/fake_steam.h"
#include "support/temp_folder.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace grelm;
using Mode = CommandLine::Mode;

TEST(CommandLine, ModesOptionsAndRefusals)
{
    const struct {
        std::vector<QByteArray> args;
        Mode mode;
        const char *folder; ///< null: none given
        bool thumbs, deleteSource;
        const char *width;
        bool refused;
    } rows[] = {
        {{}, Mode::Window, nullptr, false, false, "70", false},
        {{"-platform", "xcb"}, Mode::Window, nullptr, false, false, "70", false}, // Qt's own arguments
        {{"--convert"}, Mode::Convert, nullptr, false, false, "70", false},
        {{"--convert", "/g", "--thumbs=120", "--delete"}, Mode::Convert, "/g", true, true, "120", false},
        {{"--watch", "--thumbs", "/g"}, Mode::Watch, "/g", true, false, "70", false},
        {{"--convert", "/caf\xe9"}, Mode::Convert, "/caf\xe9", false, false, "70", false}, // a folder of any bytes
        {{"--convert", "--delete"}, Mode::Convert, nullptr, false, true, "70", true},   // only thumbnails delete
        {{"--convert", "/a", "/b"}, Mode::Convert, "/a", false, false, "70", true},
        {{"--convert", "--frobnicate"}, Mode::Convert, nullptr, false, false, "70", true},
        {{"--thumbs", "--convert", "/g"}, Mode::Convert, "/g", true, false, "70", false}, // the mode anywhere
        {{"/g", "--delete", "--thumbs=96", "--watch"}, Mode::Watch, "/g", true, true, "96", false},
        {{"--convert", "--watch"}, Mode::Convert, nullptr, false, false, "70", true},
        // Widths the window's box refuses are refused before any work.
        {{"--convert", "--thumbs=0"}, Mode::Convert, nullptr, true, false, "0", true},
        {{"--convert", "--thumbs=-1"}, Mode::Convert, nullptr, true, false, "-1", true},
        {{"--convert", "--thumbs="}, Mode::Convert, nullptr, true, false, "", true},
        {{"--convert", "--thumbs=wide"}, Mode::Convert, nullptr, true, false, "wide", true},
        {{"--convert", "--thumbs=99999999999"}, Mode::Convert, nullptr, true, false, "99999999999", true},
        {{"--find-games"}, Mode::FindGames, nullptr, false, false, "70", false},
        {{"--find-games", "x"}, Mode::FindGames, nullptr, false, false, "70", true},
        {{"--convert", "--help"}, Mode::Help, nullptr, false, false, "70", false},
        {{"--version"}, Mode::Version, nullptr, false, false, "70", false},
    };
    for (const auto &row : rows) {
        const CommandLine line = parseCommandLine(row.args);
        const QString what = QString::fromUtf8(row.args.empty() ? QByteArray("(none)") : row.args.back());
        EXPECT_EQ(line.mode, row.mode) << what.toStdString();
        EXPECT_EQ(line.folder ? line.folder->bytes() : QByteArray(), QByteArray(row.folder ? row.folder : ""))
            << what.toStdString();
        EXPECT_EQ(line.thumbs, row.thumbs) << what.toStdString();
        EXPECT_EQ(line.deleteSource, row.deleteSource) << what.toStdString();
        EXPECT_EQ(line.width, QString::fromLatin1(row.width)) << what.toStdString();
        EXPECT_EQ(!line.error.isEmpty(), row.refused) << what.toStdString();
    }
}

// One line per game folder: its screenshot count, its path as the file
// system's bytes (a script can use it as it is) and its game's name.
TEST(FindGames, PrintsCountPathAndNameOfEachGameFolder)
{
    test::TempFolder home;
    const QString library = home.file(QStringLiteral(".local/share/Steam"));
    test::makeGameFolder(library, QStringLiteral("valve"));
    test::makeGameFolder(library, QStringLiteral("cstrike"));
    const QByteArray hl = ".local/share/Steam/steamapps/common/Half-Life/";
    for (const char *shot : {"de_dust0000.bmp", "de_dust0001.BMP", "notes.txt"})
        home.write(QString::fromUtf8(hl + "cstrike/" + shot), "BM");
    home.mkdirRaw(hl + "caf\xe9");
    home.writeRaw(hl + "caf\xe9/liblist.gam", "game \"Caf\xc3\xa9\"\n");
    home.writeRaw(hl + "caf\xe9/shot.bmp", "BM");
    home.mkdirRaw(hl + "latin");
    home.writeRaw(hl + "latin/liblist.gam", "game \"Jeu d'\xe9t\xe9\"\n"); // a name that is not UTF-8: its bytes

    const QByteArray folder = QDir(library).canonicalPath().toUtf8() + "/steamapps/common/Half-Life/";
    const QByteArray expected = "1\t" + folder + "caf\xe9\tCaf\xc3\xa9\n"
                                "2\t" + folder + "cstrike\tCounter-Strike\n"
                                "0\t" + folder + "latin\tJeu d'\xe9t\xe9\n"
                                "0\t" + folder + "valve\tHalf-Life\n";
    EXPECT_EQ(gameFolderLines(findGameFolders(home.filePath())), expected);
    EXPECT_TRUE(gameFolderLines({}).isEmpty());
}
