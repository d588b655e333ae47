#pragma once

#include "core/file_path.h"

namespace grelm {

// The folders the system names for the running program, as their bytes.

/// The process's current folder, every byte kept.
FilePath currentFolder();

/// The folder of the running program, every byte kept (Qt's own answer
/// loses the bytes of a folder name that is not UTF-8).
FilePath programFolder();

/// The user's home folder: $HOME, else the user database's entry; every byte kept.
FilePath homeFolder();

} // namespace grelm
