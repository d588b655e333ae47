#pragma once

#include "core/file_path.h"

namespace grelm {

struct ConvertSession;

/// The pass over the game folder's screenshots: each becomes a JPEG beside it,
/// named as decideOutputBases decides before anything is written, and the
/// session records what became of each; nothing is deleted. With thumbnails
/// made ahead, keeps those the workers made.
void convertScreenshots(const FilePath &folder, ConvertSession &session);

} // namespace grelm
