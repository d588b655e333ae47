#pragma once

#include "core/file_stamp.h"
#include "core/held_folder.h"

#include <QString>

namespace grelm {

/// Removes from `folder` the hidden files that staging left behind when a run
/// was killed: regular files named as isStagingName says whose change time
/// is before `changedBefore`. The change time, not the modification time:
/// staging dates a file like its screenshot, but every write, rename and
/// re-dating sets the change time to the moment it happened, so a file that
/// another run is staging right now is never taken for a leftover. Best
/// effort: a folder that cannot be read, or a file that cannot be removed,
/// is left as it is. Returns how many files were removed.
int removeStagingLeftovers(const FilePath &folder, const FileTime &changedBefore);
/// The same within a folder the command holds open.
int removeStagingLeftovers(const HeldFolder &folder, const FileTime &changedBefore);

/// The change time before which a staged file counts as a leftover when a
/// command starts now: an hour ago.
FileTime stagingLeftoverCutoff();

} // namespace grelm
