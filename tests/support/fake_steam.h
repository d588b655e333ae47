#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace grelm::test {

/// Makes the game folder `<library>/steamapps/common/Half-Life/<mod>`, with a
/// liblist.gam holding `libList` unless it is null; returns the folder.
QString makeGameFolder(const QString &library, const QString &mod, const QByteArray &libList = {});

/// Writes `<root>/steamapps/libraryfolders.vdf` as Steam does, naming `libraries`.
void writeLibraryFolders(const QString &root, const QStringList &libraries);

/// Makes a symbolic link at `link` to `target` (folders on the way are made).
void makeLink(const QString &target, const QString &link);

} // namespace grelm::test
