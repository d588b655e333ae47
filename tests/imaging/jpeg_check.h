#pragma once

#include <QByteArray>
#include <QImage>

#include <ostream>
#include <string>

namespace grelm::test {

/// A JPEG file decoded by libjpeg-turbo, with what its header says.
struct DecodedJpeg {
    bool ok = false;
    int width = 0;
    int height = 0;
    int components = 0; ///< 1 for grey, 3 for YCbCr, 4 for CMYK/YCCK
    int subsampling = -1; ///< a TJSAMP value
    QImage image;       ///< upright, top row first
};

DecodedJpeg decodeJpeg(const QByteArray &jpeg);

/// The date tags and the Software of a JPEG's Exif block, read back by
/// libexif; all empty when it has no block.
struct ExifDates {
    std::string dateTime;           ///< DateTime, in the first image folder
    std::string dateTimeOriginal;   ///< DateTimeOriginal, in the Exif folder
    std::string offsetTime;         ///< OffsetTime, in the Exif folder
    std::string offsetTimeOriginal; ///< OffsetTimeOriginal, in the Exif folder
    std::string software;           ///< Software, in the first image folder
    unsigned tags = 0;              ///< entries of both folders together

    bool operator==(const ExifDates &) const = default;
};

ExifDates readExifDates(const QByteArray &jpeg);
void PrintTo(const ExifDates &dates, std::ostream *out);

} // namespace grelm::test
