#pragma once

#include "thumbs/area_reduction.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include "core/file_path.h"

#include <cstdint>

// The 24-bit bitmap files that thumbnails are made as. The program uses
// bmp24Pitch and startBmp24; bmp24Picture, encodeBmp24 and writeBmp24 are
// kept for outside callers (only tests use them today).

namespace grelm {

/// The bytes of one row of a 24-bit bitmap of `width` pixels, padded to 4.
std::int32_t bmp24Pitch(std::int32_t width);

/// Makes `file` a 24-bit Windows bitmap file of `width` x `height`: headers
/// written, rows (bottom-up, padded to 4 bytes) zeroed. Returns the first
/// (bottom) row. `file` keeps its capacity from call to call. Throws
/// OverflowError when the file would exceed the format's 32-bit sizes.
std::uint8_t *startBmp24(QByteArray &file, std::int32_t width, std::int32_t height);

/// The picture in the bytes of a 24-bit bitmap file that startBmp24 began:
/// its size from the headers and its bottom-up rows, which `file` holds.
BottomUpPicture bmp24Picture(const QByteArray &file);

/// Encodes `image` as a 24-bit Windows bitmap file: BITMAPINFOHEADER,
/// bottom-up rows padded to 4 bytes, no palette. Throws OverflowError when the
/// file would exceed the format's 32-bit sizes.
QByteArray encodeBmp24(const QImage &image);

/// Writes `image` as a 24-bit bitmap file to `path`, replacing any file of that
/// name; the file appears whole or not at all. Throws FileError on failure.
void writeBmp24(const FilePath &path, const QImage &image);

} // namespace grelm
