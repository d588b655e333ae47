#pragma once

#include "core/file_path.h"

namespace grelm {

/// Only the first lines of a liblist.gam are read; a real one is well under a
/// kilobyte and names its game near the top.
inline constexpr qsizetype kLibListMaxSize = 8 * 1024;

/// A game's name is cut to this many bytes: a damaged file cannot fill the screen.
inline constexpr qsizetype kGameNameMaxSize = 128;

/// Whether `name` is the folder of one of Valve's own Half-Life engine games.
bool isKnownGameFolderName(const FilePath &name);

/// The name of the game whose folder is `folder`, for the screen: Valve's
/// games by a fixed table, any other by the `game "..."` line of its
/// liblist.gam, else by the folder's own name. Every byte of the name is kept,
/// so a name that is not UTF-8 reaches a script unchanged.
FilePath gameNameOf(const FilePath &folder);

} // namespace grelm
