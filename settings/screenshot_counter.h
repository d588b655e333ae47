#pragma once

#include "core/file_path.h"

#include <functional>

namespace grelm {

/// Counts the screenshots (ordinary, non-hidden "*.bmp" files, any letter case)
/// directly in `folder`, used as written. `onFound` gets the running count once
/// per file found. A folder that does not exist or cannot be listed counts 0.
int countScreenshots(const FilePath &folder, const std::function<void(int)> &onFound = {});

} // namespace grelm
