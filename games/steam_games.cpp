#include "games/steam_games.h"

#include "core/file_names.h"
#include "games/game_names.h"
#include "games/steam_libraries.h"

#include <QSet>
#include <QStringList>

#include <filesystem>
#include <system_error>

namespace grelm {

namespace {

bool isRegularFile(const QString &path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(encodeFileName(path).toStdString(), error);
}

// The names of the sub-folders of `folder` (links to folders included), sorted.
QStringList subFolderNames(const QString &folder)
{
    namespace fs = std::filesystem;
    QStringList names;
    std::error_code error;
    fs::directory_iterator it(fs::path(encodeFileName(folder).toStdString()), error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            names << decodeFileName(QByteArray::fromStdString(it->path().filename().native()));
    }
    names.sort();
    return names;
}

bool isGameFolder(const QString &install, const QString &name)
{
    return isKnownGameFolderName(name) || isRegularFile(install + u'/' + name + QStringLiteral("/liblist.gam"));
}

} // namespace

QList<GameFolder> findGameFolders(const QString &home)
{
    QList<GameFolder> found;
    QSet<QString> seen;
    for (const QString &library : steamLibraries(home)) {
        const QString install = library + QStringLiteral("/steamapps/common/Half-Life");
        for (const QString &name : subFolderNames(install)) {
            const std::optional<QString> folder = canonicalFolder(install + u'/' + name);
            if (!folder || seen.contains(*folder) || !isGameFolder(install, name))
                continue;
            seen.insert(*folder);
            found << GameFolder{*folder, gameNameOf(install + u'/' + name)};
        }
    }
    return found;
}

} // namespace grelm
