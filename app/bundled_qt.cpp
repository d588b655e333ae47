#include "app/bundled_qt.h"

#include "core/file_names.h"

#include <filesystem>
#include <system_error>

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

QStringList carriedPlatforms(const QString &programFolder)
{
    QStringList names;
    const std::filesystem::path folder = encodeFileName(programFolder).toStdString();
    std::error_code error;
    if (programFolder.isEmpty() || !std::filesystem::is_regular_file(folder / "qt.conf", error))
        return names;
    for (const auto &entry : std::filesystem::directory_iterator(folder / "plugins" / "platforms", error)) {
        const QString file = QString::fromStdString(entry.path().filename().string());
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
