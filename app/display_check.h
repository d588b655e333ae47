#pragma once

#include <QString>

namespace grelm {

/// Whether a window could be shown with these values of QT_QPA_PLATFORM,
/// DISPLAY and WAYLAND_DISPLAY: a platform that needs no display (offscreen,
/// for example) always can; X11 and Wayland need their display named.
bool displayAvailable(const QString &platform, const QString &x11Display, const QString &waylandDisplay);

/// displayAvailable for this process's environment; checked before the
/// application object exists, because Qt aborts the process when it finds no display.
bool displayAvailable();

/// The one line said instead of starting the window when there is no display.
inline const char *const kNoDisplayMessage =
    "grelm-converter: no display found; it needs a desktop session (or Xvfb, for example xvfb-run grelm-converter)\n";

} // namespace grelm
