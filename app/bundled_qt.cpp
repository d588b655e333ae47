#include "app/bundled_qt.h"

#include "core/errors.h"
#include "core/system_folders.h"
#include "core/folder_listing.h"

namespace grelm {

namespace {

// Qt names a platform plugin file libq<name>.so.
const QString kPluginPrefix = QStringLiteral("libq");
const QString kPluginSuffix = QStringLiteral(".so");

} // namespace

QString bundledPlatform(const QString &requested, const QStringList &carried)
{
    for (const QString &entry : requested.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        // An entry may carry options after a colon: "xcb:nograb".
        if (carried.contains(entry.section(QLatin1Char(':'), 0, 0).trimmed()))
            return requested;
    }
    return QStringLiteral("xcb");
}

QStringList carriedPlatforms(const FilePath &programFolder)
{
    QStringList names;
    if (programFolder.isEmpty() || !isListedFile(programFolder / "qt.conf"))
        return names;
    QList<FilePath> files;
    try {
        files = folderEntryNames(programFolder / "plugins/platforms");
    } catch (const FileError &) {
        return names; // an unreadable plugin folder carries nothing usable
    }
    for (const FilePath &entry : files) {
        const QString file = QString::fromStdString(entry.bytes().toStdString());
        if (file.startsWith(kPluginPrefix) && file.endsWith(kPluginSuffix))
            names << file.mid(kPluginPrefix.size(), file.size() - kPluginPrefix.size() - kPluginSuffix.size());
    }
    return names;
}

void keepToBundledQt()
{
    const QStringList carried = carriedPlatforms(programFolder());
    if (carried.isEmpty())
        return;
    qunsetenv("QT_PLUGIN_PATH");
    qunsetenv("QT_QPA_PLATFORM_PLUGIN_PATH");
    qputenv("QT_QPA_PLATFORM", bundledPlatform(qEnvironmentVariable("QT_QPA_PLATFORM"), carried).toLocal8Bit());
}

} // namespace grelm
