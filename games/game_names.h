#pragma once

#include <QString>

namespace grelm {

/// liblist.gam is read up to this size; a real one is well under a kilobyte.
inline constexpr qsizetype kLibListMaxSize = 64 * 1024;

/// Whether `name` is the folder of one of Valve's own Half-Life engine games.
bool isKnownGameFolderName(const QString &name);

/// The name of the game whose folder is `folder`, for the screen: Valve's
/// games by a fixed table, any other by the `game "..."` line of its
/// liblist.gam, else by the folder's own name.
QString gameNameOf(const QString &folder);

} // namespace grelm
