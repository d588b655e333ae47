#include "settings/setting_store.h"

#include "core/file_names.h"
#include "core/file_stamp.h"
#include "core/errors.h"
#include "settings/setting_file.h"


#include <filesystem>
#include <system_error>

namespace grelm {

namespace {

// Makes the config folder; throws FileError saying why when it cannot.
void makeFolder(const QString &folder)
{
    std::error_code error;
    std::filesystem::create_directories(encodeFileName(folder).toStdString(), error);
    if (error)
        throw FileError(QStringLiteral("Cannot make %1: %2").arg(folder, QString::fromStdString(error.message())).toStdString());
}

} // namespace

QString userConfigFolder()
{
    // Read as bytes: a home whose name is not UTF-8 is still the user's home.
    QString base = decodeFileName(qgetenv("XDG_CONFIG_HOME"));
    if (!base.startsWith(u'/'))
        base = homeFolder() + QStringLiteral("/.config");
    return base + QStringLiteral("/grelm-converter");
}

SettingPlaces programSettingPlaces()
{
    return {programFolder(), userConfigFolder()};
}

std::optional<QString> SettingStore::read()
{
    for (const QString &place : {m_places.programFolder, m_places.configFolder}) {
        // Anything of that name decides the place, even a file that gives no folder.
        if (pathExists(settingFilePath(place))) {
            m_home = place;
            return readSettingFile(place);
        }
    }
    return std::nullopt;
}

void SettingStore::write(const QString &folder)
{
    requireStorableFolder(folder);
    QStringList places;
    for (const QString &place : {m_home, m_places.programFolder, m_places.configFolder}) {
        if (!place.isEmpty() && !places.contains(place))
            places << place;
    }
    QString reasons;
    for (const QString &place : places) {
        if (tryWrite(place, folder, reasons)) {
            m_home = place;
            return;
        }
    }
    throw FileError(reasons.trimmed().toStdString());
}

// Whether storing `folder` in `place` worked; appends the reason to `reasons` when not.
bool SettingStore::tryWrite(const QString &place, const QString &folder, QString &reasons)
{
    try {
        if (place == m_places.configFolder)
            makeFolder(place);
        writeSettingFile(place, folder);
        return true;
    } catch (const FileError &error) {
        reasons += QString::fromStdString(error.what()) + QLatin1Char('\n');
        return false;
    }
}

} // namespace grelm
