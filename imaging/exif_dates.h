#pragma once

#include "core/file_stamp.h"

#include <QByteArray>

namespace grelm {

/// The Exif APP1 segment (marker, length, body) that dates a picture made at
/// `time`: DateTime and DateTimeOriginal in local time, OffsetTime and
/// OffsetTimeOriginal the local zone's offset at that moment. Empty when that
/// local time has no four-digit year or the block cannot be made.
QByteArray exifDateSegment(const FileTime &time);

/// `jpeg` carrying exifDateSegment(time) right after its JFIF header; `jpeg`
/// unchanged when there is no segment or it does not start like a JPEG.
QByteArray withExifDates(const QByteArray &jpeg, const FileTime &time);

} // namespace grelm
