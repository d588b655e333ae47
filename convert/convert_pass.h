#pragma once

#include <QString>

#include <cstdint>

namespace grelm {

struct ConvertSession;

/// The two kinds of folder pass.
enum PassKind : std::int16_t {
    /// Each screenshot becomes a JPEG beside it; nothing is deleted.
    kScreenshotPass = 0,
    /// Each thumbnail bitmap the program wrote becomes "th_" + its screenshot's
    /// output base + ".jpg", the bitmap is removed, and the screenshot too
    /// where the user asked for it.
    kThumbnailPass = 1,
};

/// Converts every bitmap of `folder` to JPEG in listing order, driving the
/// progress caption and bar and letting the window handle its events between
/// files. Load and write failures are reported and the pass goes on; any
/// other failure is thrown, with nothing after the failing file touched.
void ConvertFolder(const QString &folder, PassKind mode, ConvertSession &session);

} // namespace grelm
