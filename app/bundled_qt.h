#pragma once

#include "core/file_path.h"

#include <QString>
#include <QStringList>

namespace grelm {

/// The platform a program carrying its own Qt plugins starts on: `requested`
/// (QT_QPA_PLATFORM, a list separated by ';') when it names a platform among
/// `carried`, else xcb, the window system the carried plugins are for. Qt
/// would otherwise pick Wayland on a Wayland session and stop, finding no
/// plugin for it.
QString bundledPlatform(const QString &requested, const QStringList &carried);

/// The platform plugins a program folder carries in plugins/platforms beside
/// a qt.conf (the portable archive's layout); none for an installed program,
/// which uses the system's Qt.
QStringList carriedPlatforms(const FilePath &programFolder);

/// For a program that carries its own Qt: drops the plugin folders another Qt
/// set in the environment (a desktop with a newer Qt sets QT_PLUGIN_PATH, and
/// a plugin of another build of Qt fails or crashes in this one) and sets
/// QT_QPA_PLATFORM to bundledPlatform. Does nothing for an installed program.
/// Must run before the application object exists.
void keepToBundledQt();

} // namespace grelm
