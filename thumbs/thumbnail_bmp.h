#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace grelm {

/// Encodes `image` as a 24-bit Windows bitmap file: BITMAPINFOHEADER,
/// bottom-up rows padded to 4 bytes, no palette. Throws OverflowError when the
/// file would exceed the format's 32-bit sizes.
QByteArray encodeBmp24(const QImage &image);

/// Writes `image` as a 24-bit bitmap file to `path`, replacing any file of that
/// name; the file appears whole or not at all. Throws FileError on failure.
void writeBmp24(const QString &path, const QImage &image);

} // namespace grelm
