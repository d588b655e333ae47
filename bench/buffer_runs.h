#pragma once

#include "bench/measurement.h"

#include <QString>

namespace grelm::bench {

/// The program's own per-file path without a window, one thread: each bitmap
/// of `folder` loaded into one reused pixel buffer and, with `write`, written
/// as a JPEG beside it through the JPEG writer with one reused encoder.
Measurement runBufferPath(const QString &folder, bool write);

} // namespace grelm::bench
