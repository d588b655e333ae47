#pragma once

#include "bench/measurement.h"

#include <QString>

namespace grelm {
class RecordingMessageSink;
}

namespace grelm::bench {

/// How one Convert run is set up.
struct ConvertSetup {
    bool thumbnails = false;
    int workers = 0;         ///< 0: the command's own choice
    bool sequential = false; ///< every file loaded, encoded and written on the window's thread
    bool deleteSources = false; ///< with thumbnails: each screenshot deleted once both its JPEGs are on the disk
};

/// Runs the Convert command over `folder` as the window would, headless, and
/// checks that every JPEG was written. Needs a running QGuiApplication.
Measurement runConvert(const QString &folder, const ConvertSetup &setup);

/// Why a Convert run over `folder` does not count: a message the command
/// showed, or JPEGs (and, with `thumbnails`, thumbnail JPEGs) missing for
/// some of its `bitmaps`; empty when it counts.
QString convertOutcome(const QString &folder, bool thumbnails, int bitmaps, const RecordingMessageSink &messages);

} // namespace grelm::bench
