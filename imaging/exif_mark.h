#pragma once

#include <QByteArray>
#include <QString>

#include "core/file_path.h"

namespace grelm {

/// Whether the body of an Exif APP1 segment ("Exif" header and TIFF
/// structure) holds Software equal to kSoftwareMark: a JPEG the program wrote.
bool exifCarriesProgramMark(const QByteArray &body);

/// Whether the file at `path` is a JPEG the program wrote: its Exif segment,
/// among the application segments that open the file, carries the mark.
/// Reads only those segments, never the picture; false for anything that is
/// not a regular file starting like a JPEG, and for any file that cannot be
/// read. A link is not followed, and nothing waits on a pipe or a device.
bool fileCarriesProgramMark(const FilePath &path);

} // namespace grelm
