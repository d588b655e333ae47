#pragma once

#include "games/game_search.h"

#include <QList>

namespace grelm {

/// The Wine prefixes of `home`, each once as a canonical path, in this order:
/// `winePrefix` ($WINEPREFIX, where set) and ~/.wine; Lutris's (~/Games/*);
/// Bottles' bottles, native and Flatpak; PlayOnLinux's; and the Proton prefixes
/// (steamapps/compatdata/*/pfx) of each of `steamLibraries`. A prefix is a
/// folder holding a drive_c folder that is not a link.
QList<FilePath> winePrefixes(const FilePath &home, const FilePath &winePrefix, const QList<FilePath> &steamLibraries,
                             GameSearch &search);

/// Offers the game folders of the Wine prefix `prefix` (canonical): those of
/// a Windows Steam installed in it, then every folder within three levels
/// below drive_c holding a liblist.gam, and Valve's games in
/// drive_c/SIERRA/Half-Life. drive_c/windows and drive_c/users are skipped
/// and no link is followed, so the search stays inside the prefix.
void findPrefixGames(const FilePath &prefix, GameSearch &search);

} // namespace grelm
