#include "app/display_check.h"

#include <QStringList>

namespace grelm {

namespace {

// Whether one platform plugin, named with or without its options, finds what it needs.
bool platformWorks(const QString &entry, const QString &x11Display, const QString &waylandDisplay)
{
    const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed();
    if (name == QLatin1String("xcb"))
        return !x11Display.isEmpty();
    if (name.startsWith(QLatin1String("wayland")))
        return !waylandDisplay.isEmpty();
    return !name.isEmpty();
}

} // namespace

bool displayAvailable(const QString &platform, const QString &x11Display, const QString &waylandDisplay)
{
    if (platform.isEmpty())
        return !x11Display.isEmpty() || !waylandDisplay.isEmpty();
    // Qt tries each platform of a list separated by ';' in turn.
    for (const QString &entry : platform.split(QLatin1Char(';'))) {
        if (platformWorks(entry, x11Display, waylandDisplay))
            return true;
    }
    return false;
}

bool displayAvailable()
{
    return displayAvailable(qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
                            qEnvironmentVariable("WAYLAND_DISPLAY"));
}

} // namespace grelm
