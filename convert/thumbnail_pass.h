#pragma once

#include "core/file_path.h"

namespace grelm {

struct ConvertSession;

/// The pass over Thumbs: each thumbnail bitmap the journal names, still
/// holding the bytes it records, becomes "th_" + its screenshot's output base
/// + ".jpg" dated like its screenshot; the bitmap is removed, and the
/// screenshot too where the user asked for it. Reports the bitmaps this
/// command wrote that it cannot convert, and stores what is left of the journal.
void convertThumbnails(const FilePath &folder, ConvertSession &session);

} // namespace grelm
