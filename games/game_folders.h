#pragma once

#include "games/steam_games.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace grelm {

/// The lines --find-games prints: for each game folder its screenshot count,
/// a tab, its path (the file system's bytes), a tab and the game's name.
QByteArray gameFolderLines(const QList<GameFolder> &games);

/// --find-games: prints each game folder found in the Steam installs under
/// `home`, or "no game folders found" on standard error; returns the exit status, 0.
int printGameFolders(const QString &home);

} // namespace grelm
