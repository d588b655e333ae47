#pragma once

#include "games/game_search.h"

#include <QList>

namespace grelm {

/// Every Half-Life engine game folder under `home`, each once however many
/// links lead to it: first those of each Steam library (see steamLibraries and
/// findSteamGames), in the order the libraries are found; then those of each
/// Wine prefix (see winePrefixes, with $WINEPREFIX, and findPrefixGames).
/// `found` gets each folder as soon as it is found and may stop the search;
/// `limits` bound it.
QList<GameFolder> findGameFolders(const FilePath &home, const GameFolderSink &found = {},
                                  const SearchLimits &limits = {});

} // namespace grelm
