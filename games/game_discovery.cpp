#include "games/game_discovery.h"

#include "games/steam_games.h"
#include "games/steam_libraries.h"
#include "games/wine_prefixes.h"

namespace grelm {

QList<GameFolder> findGameFolders(const FilePath &home, const GameFolderSink &found, const SearchLimits &limits)
{
    GameSearch search(found, limits);
    const QList<FilePath> libraries = steamLibraries(home);
    for (const FilePath &library : libraries) {
        if (!search.goesOn())
            return search.found();
        findSteamGames(library, search, Links::Follow);
    }
    const FilePath winePrefix(qgetenv("WINEPREFIX"));
    for (const FilePath &prefix : winePrefixes(home, winePrefix, libraries, search)) {
        if (!search.goesOn())
            break;
        findPrefixGames(prefix, search);
    }
    return search.found();
}

} // namespace grelm
