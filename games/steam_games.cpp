#include "games/steam_games.h"

#include "core/folder_listing.h"
#include "core/path_checks.h"
#include "games/game_names.h"
#include "games/steam_libraries.h"

namespace grelm {

namespace {

bool isRegularFile(const FilePath &path, Links links)
{
    return links == Links::Follow ? isListedFile(path) : isRegularFileNotLink(path);
}

// The names of the sub-folders of `folder` (links to folders included), sorted;
// none where the search may list no more folders.
QList<FilePath> subFolderNames(const FilePath &folder, GameSearch &search)
{
    QList<FilePath> names;
    if (!search.visitFolder())
        return names;
    FolderReader reader(folder);
    while (std::optional<FilePath> name = reader.next()) {
        if (reader.lastIsFolder())
            names << *std::move(name);
        if (names.size() % 256 == 0 && !search.goesOn())
            return {};
    }
    sortByText(names, Qt::CaseSensitive);
    return names;
}

std::optional<FilePath> folderAt(const FilePath &path, Links links)
{
    return links == Links::Follow ? canonicalFolder(path) : linkFreeFolder(path);
}

} // namespace

void findSteamGames(const FilePath &library, GameSearch &search, Links links)
{
    const FilePath common = library / "steamapps/common";
    for (const FilePath &installName : subFolderNames(common, search)) {
        const bool halfLife = installName.bytes() == "Half-Life";
        const FilePath install = common / installName;
        if (links == Links::Skip && !linkFreeFolder(install))
            continue;
        for (const FilePath &name : subFolderNames(install, search)) {
            const FilePath path = install / name;
            const bool isGame = (halfLife && isKnownGameFolderName(name)) || isRegularFile(path / "liblist.gam", links);
            if (!isGame)
                continue;
            if (const std::optional<FilePath> folder = folderAt(path, links))
                search.offer(*folder);
        }
    }
}

} // namespace grelm
