#pragma once

#include <QString>

#include <string>
#include <vector>

namespace grelm::bench {

// Lean folder scans: the benchmark measures peak memory, so it must not
// inflate it with its own bookkeeping (a QDir listing costs about 1 KiB a file).

/// Paths of the regular files of `folder` whose names start with `prefix` and
/// end with `suffix` (case ignored), sorted by name.
std::vector<std::string> filesMatching(const QString &folder, const std::string &prefix, const std::string &suffix);

/// How many such files there are.
int countFilesMatching(const QString &folder, const std::string &prefix, const std::string &suffix);

/// Asks the kernel to drop the cached pages of each file (written back
/// already), so that the next reads come from the disk.
void dropFromPageCache(const std::vector<std::string> &paths);

/// Total pixels of the bitmaps of `folder`, in millions, from their headers.
double bitmapMegapixels(const QString &folder);

} // namespace grelm::bench
