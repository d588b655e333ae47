#pragma once

#include "core/file_path.h"

namespace grelm {

/// Makes `folder` and every folder above it that is missing; throws FileError
/// saying why when it cannot. A folder that is already there is left as it is.
void makeFolders(const FilePath &folder);

} // namespace grelm
