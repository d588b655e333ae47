#pragma once

#include "core/file_stamp.h"

#include <QByteArray>

#include <optional>

namespace grelm {

/// The Exif `Software` of every JPEG the program writes: the mark by which it
/// knows its own JPEGs later. Never change it, or the JPEGs of earlier
/// versions are no longer known as the program's.
inline constexpr char kSoftwareMark[] = "GRELM Screenshot Converter";

/// The Exif APP1 segment (marker, length, body) of a JPEG the program writes:
/// Software holding kSoftwareMark and, for a picture made at `time`,
/// DateTime and DateTimeOriginal in local time, OffsetTime and
/// OffsetTimeOriginal the local zone's offset at that moment. The dates are
/// left out when there is no time or its local time has no four-digit year.
/// Empty when the block cannot be made.
QByteArray exifSegment(const std::optional<FileTime> &time);

/// `jpeg` carrying exifSegment(time) right after its JFIF header; `jpeg`
/// unchanged when there is no segment or it does not start like a JPEG.
QByteArray withExif(const QByteArray &jpeg, const std::optional<FileTime> &time);

} // namespace grelm
