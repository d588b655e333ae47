#pragma once

#include "bench/measurement.h"

#include <QString>

namespace grelm::bench {

/// Runs the Convert command over `folder` as the window would, headless: with
/// thumbnails on or off, and with `workers` workers (0: the command's own
/// choice). Needs a running QGuiApplication.
Measurement runConvert(const QString &folder, bool thumbnails, int workers);

} // namespace grelm::bench
