#include "games/game_names.h"

#include "core/file_ends.h"

#include <QByteArrayList>

#include <cctype>
#include <optional>

namespace grelm {

namespace {

struct KnownGame {
    const char *folder;
    const char *name;
};

constexpr KnownGame kKnownGames[] = {
    {"valve", "Half-Life"},
    {"cstrike", "Counter-Strike"},
    {"czero", "Counter-Strike: Condition Zero"},
    {"gearbox", "Half-Life: Opposing Force"},
    {"tfc", "Team Fortress Classic"},
    {"dod", "Day of Defeat"},
    {"dmc", "Deathmatch Classic"},
    {"ricochet", "Ricochet"},
};

std::optional<FilePath> knownName(const FilePath &folderName)
{
    for (const KnownGame &game : kKnownGames) {
        if (folderName.bytes() == game.folder)
            return FilePath(game.name);
    }
    return std::nullopt;
}

// The value of a `game "Name"` line (quotes optional); empty when it is not one.
FilePath gameLineValue(QByteArray line)
{
    line = line.trimmed();
    if (line.size() < 5 || line.left(4).compare("game", Qt::CaseInsensitive) != 0 || !std::isspace(uchar(line[4])))
        return {};
    QByteArray value = line.mid(5).trimmed();
    if (value.startsWith('"')) {
        const qsizetype end = value.indexOf('"', 1);
        value = value.mid(1, end < 0 ? -1 : end - 1);
    }
    // A tab or a line break would split the line --find-games prints for it.
    for (char &c : value) {
        if (uchar(c) < 0x20 || c == 0x7f)
            c = ' ';
    }
    return FilePath(value.trimmed().left(kGameNameMaxSize));
}

FilePath libListName(const FilePath &folder)
{
    const std::optional<FileEnds> file = readFileEnds(folder / "liblist.gam", kLibListMaxSize, 0);
    if (!file)
        return {};
    for (const QByteArray &line : file->head.split('\n')) {
        const FilePath name = gameLineValue(line);
        if (!name.isEmpty())
            return name;
    }
    return {};
}

} // namespace

bool isKnownGameFolderName(const FilePath &name)
{
    return knownName(name).has_value();
}

FilePath gameNameOf(const FilePath &folder)
{
    const FilePath folderName = folder.fileName();
    if (const std::optional<FilePath> known = knownName(folderName))
        return *known;
    const FilePath fromLibList = libListName(folder);
    return fromLibList.isEmpty() ? folderName : fromLibList;
}

} // namespace grelm
