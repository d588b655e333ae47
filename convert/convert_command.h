#pragma once

#include "core/file_path.h"

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

/// Converts every bitmap of `folder` to JPEG in listing order with the pass
/// of kind `mode` (see screenshot_pass.h and thumbnail_pass.h), driving the
/// progress caption and bar and letting the window handle its events between
/// files. Load and write failures are reported and the pass goes on; any
/// other failure is thrown, with nothing after the failing file touched.
void ConvertFolder(const FilePath &folder, PassKind mode, ConvertSession &session);

/// The Convert command: makes the game folder's Thumbs folder when nothing of
/// that name is there, converts every screenshot to JPEG and, with "Create
/// Thumbnails" checked, makes and converts the thumbnails. Any failure that
/// the passes do not report themselves ends the command with the one message
/// "The path you are currently using is incorrect!". Returns quietly when the
/// window is closed mid-pass.
void runConvertCommand(ConvertSession &session);

} // namespace grelm
