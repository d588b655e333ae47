#include "app/game_folders.h"

#include "support/fake_steam.h"
#include "support/temp_folder.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace grelm;

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

    const QByteArray folder = QDir(library).canonicalPath().toUtf8() + "/steamapps/common/Half-Life/";
    const QByteArray expected = "1\t" + folder + "caf\xe9\tCaf\xc3\xa9\n"
                                "2\t" + folder + "cstrike\tCounter-Strike\n"
                                "0\t" + folder + "valve\tHalf-Life\n";
    EXPECT_EQ(gameFolderLines(findGameFolders(home.path())), expected);
    EXPECT_TRUE(gameFolderLines({}).isEmpty());
}
