#pragma once

#include "bench/measurement.h"

#include <QString>

namespace grelm::bench {

/// Runs the Convert command over `folder` through the program's own main
/// window: a program folder of its own whose setting file names `folder`, the
/// window shown, the thumbnail box set, and its Convert button clicked.
/// Needs a running QApplication on whichever platform it was started with.
Measurement runWindowConvert(const QString &folder, bool thumbnails);

} // namespace grelm::bench
