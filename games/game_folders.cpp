#include "games/game_folders.h"

#include "games/game_discovery.h"
#include "settings/screenshot_counter.h"

#include <cstdio>

namespace grelm {

QByteArray gameFolderLines(const QList<GameFolder> &games)
{
    QByteArray lines;
    for (const GameFolder &game : games) {
        lines += QByteArray::number(countScreenshots(game.path)) + '\t' + game.path.bytes() + '\t' + game.name.bytes()
                 + '\n';
    }
    return lines;
}

int printGameFolders(const FilePath &home)
{
    const QList<GameFolder> games = findGameFolders(home);
    if (games.isEmpty()) {
        std::fputs("grelm-converter: no game folders found\n", stderr);
        return 0;
    }
    const QByteArray lines = gameFolderLines(games);
    std::fwrite(lines.constData(), 1, size_t(lines.size()), stdout);
    return 0;
}

} // namespace grelm
