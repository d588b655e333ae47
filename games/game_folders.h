#pragma once

#include "games/game_search.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace grelm {

/// The lines --find-games prints: for each game folder its screenshot count,
/// a tab, its path and a tab and the game's name (both as the bytes read).
QByteArray gameFolderLines(const QList<GameFolder> &games);

/// --find-games: prints each game folder found under `home` (see
/// findGameFolders), or "no game folders found" on standard error; returns the exit status, 0.
int printGameFolders(const FilePath &home);

} // namespace grelm
