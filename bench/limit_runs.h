#pragma once

#include "bench/measurement.h"

#include <QString>

namespace grelm::bench {

/// The in-process limit: each of `threads` threads takes the next bitmap of
/// `folder`, reads it with one read, encodes it with TurboJPEG (quality 75,
/// 4:2:0, accurate DCT, straight from the bottom-up rows) and writes the JPEG
/// beside it; handles and buffers are reused. No window, no bookkeeping.
Measurement runInProcessLimit(const QString &folder, int threads);

/// The encode-only limit: the same encodes from pixels already in memory,
/// nothing read or written while the clock runs.
Measurement runEncodeOnly(const QString &folder, int threads);

} // namespace grelm::bench
