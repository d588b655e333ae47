#pragma once

#include "bench/options.h"

#include <QString>

namespace grelm::bench {

/// Writes into `folder` `count` tiny run-length (RLE8) bitmaps whose headers
/// claim `side` x `side` pixels: a few coloured bands, the rest left to the
/// palette's first entry.
void writeHugeRleCorpus(const QString &folder, int count, int side);

/// Parent side of --huge: converts such bitmaps with 1, 2, 4 and 8 workers,
/// each in a child process of its own, and prints the table and the peak
/// memory target for each worker count.
int runHugePictureCheck(const Options &options, int threads);

} // namespace grelm::bench
