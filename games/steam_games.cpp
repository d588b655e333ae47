#include "games/steam_games.h"

#include "core/file_names.h"
#include "games/game_names.h"
#include "games/steam_libraries.h"

#include <QStringList>

#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace grelm {

namespace {

bool isRegularFile(const QString &path, Links links)
{
    struct stat status;
    const QByteArray name = encodeFileName(path);
    const int result = links == Links::Follow ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status);
    return result == 0 && S_ISREG(status.st_mode);
}

// The names of the sub-folders of `folder` (links to folders included), sorted;
// none where the search may list no more folders.
QStringList subFolderNames(const QString &folder, GameSearch &search)
{
    namespace fs = std::filesystem;
    QStringList names;
    if (!search.visitFolder())
        return names;
    std::error_code error;
    fs::directory_iterator it(fs::path(encodeFileName(folder).toStdString()), error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            names << decodeFileName(QByteArray::fromStdString(it->path().filename().native()));
        if (names.size() % 256 == 0 && !search.goesOn())
            return {};
    }
    names.sort();
    return names;
}

std::optional<QString> folderAt(const QString &path, Links links)
{
    return links == Links::Follow ? canonicalFolder(path) : linkFreeFolder(path);
}

} // namespace

void findSteamGames(const QString &library, GameSearch &search, Links links)
{
    const QString common = library + QStringLiteral("/steamapps/common");
    for (const QString &installName : subFolderNames(common, search)) {
        const bool halfLife = installName == QLatin1String("Half-Life");
        const QString install = common + u'/' + installName;
        if (links == Links::Skip && !linkFreeFolder(install))
            continue;
        for (const QString &name : subFolderNames(install, search)) {
            const QString path = install + u'/' + name;
            const bool isGame = (halfLife && isKnownGameFolderName(name))
                                || isRegularFile(path + QStringLiteral("/liblist.gam"), links);
            if (!isGame)
                continue;
            if (const std::optional<QString> folder = folderAt(path, links))
                search.offer(*folder);
        }
    }
}

} // namespace grelm
