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

/// The date tags of a JPEG's Exif block, read back by libexif; all empty
/// when it has no block.
struct ExifDates {
    std::string dateTime;           ///< DateTime, in the first image folder
    std::string dateTimeOriginal;   ///< DateTimeOriginal, in the Exif folder
    std::string offsetTime;         ///< OffsetTime, in the Exif folder
    std::string offsetTimeOriginal; ///< OffsetTimeOriginal, in the Exif folder
    unsigned tags = 0;              ///< entries of both folders together

    bool operator==(const ExifDates &) const = default;
};

ExifDates readExifDates(const QByteArray &jpeg);
void PrintTo(const ExifDates &dates, std::ostream *out);

/// Peak signal-to-noise ratio in dB over the red, green and blue channels;
/// pictures of different sizes score 0.
double psnr(const QImage &a, const QImage &b);

/// The colour of the pixel (x, y) counted from the top-left, read from a
/// bottom-up buffer of 3- or 4-byte blue-green-red pixels.
QRgb bufferPixel(const unsigned char *bits, int stride, int height, int channels, int x, int y);

} // namespace grelm::test
