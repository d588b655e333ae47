#pragma once

namespace grelm {

/// --find-games: prints each game folder found in the Steam installs, with
/// its screenshot count; returns the exit status.
int printGameFolders();

} // namespace grelm
