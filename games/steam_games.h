#pragma once

#include "games/game_search.h"


namespace grelm {

/// Whether links are followed below a Steam library: in the user's own Steam
/// yes; inside a Wine prefix no, since its links lead out of it.
enum class Links { Follow, Skip };

/// Offers the game folders of the Steam library `library` (canonical) to
/// `search`: in each install of steamapps/common, the sub-folders that hold a
/// liblist.gam, and in Half-Life's also Valve's own games, which need none;
/// installs and folders by name.
void findSteamGames(const FilePath &library, GameSearch &search, Links links);

} // namespace grelm
