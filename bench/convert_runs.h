#pragma once

#include "bench/measurement.h"

#include <QString>

namespace grelm::bench {

/// How one Convert run is set up.
struct ConvertSetup {
    bool thumbnails = false;
    int workers = 0;         ///< 0: the command's own choice
    bool sequential = false; ///< every file loaded, encoded and written on the window's thread
};

/// Runs the Convert command over `folder` as the window would, headless, and
/// checks that every JPEG was written. Needs a running QGuiApplication.
Measurement runConvert(const QString &folder, const ConvertSetup &setup);

} // namespace grelm::bench
