#pragma once

#include <QList>
#include <QString>

namespace grelm {

/// A Half-Life engine game's folder, where the game writes its screenshots.
struct GameFolder {
    QString path; ///< canonical, every byte kept
    QString name; ///< the game's name, for the screen

    bool operator==(const GameFolder &) const = default;
};

/// Every installed Half-Life engine game under `home`: in each Steam library
/// (see steamLibraries), the folders of steamapps/common/Half-Life that are
/// one of Valve's games or hold a liblist.gam. Each folder appears once,
/// however many links lead to it; libraries in the order found, folders by name.
QList<GameFolder> findGameFolders(const QString &home);

} // namespace grelm
