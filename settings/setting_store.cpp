#include "settings/setting_store.h"

#include "core/system_folders.h"
#include "core/file_stamp.h"
#include "core/folder_making.h"
#include "core/errors.h"
#include "settings/setting_file.h"

#include <QList>

namespace grelm {

FilePath userConfigFolder()
{
    // Read as bytes: a home whose name is not UTF-8 is still the user's home.
    FilePath base(qgetenv("XDG_CONFIG_HOME"));
    if (!base.isAbsolute())
        base = homeFolder() / ".config";
    return base / "grelm-converter";
}

SettingPlaces programSettingPlaces()
{
    return {programFolder(), userConfigFolder()};
}

std::optional<FilePath> SettingStore::read()
{
    for (const FilePath &place : {m_places.programFolder, m_places.configFolder}) {
        // Anything of that name decides the place, even a file that gives no folder.
        if (pathExists(settingFilePath(place))) {
            m_home = place;
            return readSettingFile(place);
        }
    }
    return std::nullopt;
}

void SettingStore::write(const FilePath &folder)
{
    requireStorableFolder(folder);
    QList<FilePath> places;
    for (const FilePath &place : {m_home, m_places.programFolder, m_places.configFolder}) {
        if (!place.isEmpty() && !places.contains(place))
            places << place;
    }
    QString reasons;
    for (const FilePath &place : places) {
        if (tryWrite(place, folder, reasons)) {
            m_home = place;
            return;
        }
    }
    throw FileError(reasons.trimmed().toStdString());
}

// Whether storing `folder` in `place` worked; appends the reason to `reasons` when not.
bool SettingStore::tryWrite(const FilePath &place, const FilePath &folder, QString &reasons)
{
    try {
        if (place == m_places.configFolder)
            makeFolders(place);
        writeSettingFile(place, folder);
        return true;
    } catch (const FileError &error) {
        reasons += QString::fromStdString(error.what()) + QLatin1Char('\n');
        return false;
    }
}

} // namespace grelm
