#include "games/game_discovery.h"

#include "core/file_names.h"
#include "games/steam_games.h"
#include "games/steam_libraries.h"
#include "games/wine_prefixes.h"

namespace grelm {

QList<GameFolder> findGameFolders(const QString &home, const GameFolderSink &found, const SearchLimits &limits)
{
    GameSearch search(found, limits);
    const QStringList libraries = steamLibraries(home);
    for (const QString &library : libraries) {
        if (!search.goesOn())
            return search.found();
        findSteamGames(library, search, Links::Follow);
    }
    const QString winePrefix = decodeFileName(qgetenv("WINEPREFIX"));
    for (const QString &prefix : winePrefixes(home, winePrefix, libraries, search)) {
        if (!search.goesOn())
            break;
        findPrefixGames(prefix, search);
    }
    return search.found();
}

} // namespace grelm
