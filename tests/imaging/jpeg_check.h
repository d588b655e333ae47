#pragma once

#include <QByteArray>
#include <QImage>

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

/// Peak signal-to-noise ratio in dB over the red, green and blue channels;
/// pictures of different sizes score 0.
double psnr(const QImage &a, const QImage &b);

/// The colour of the pixel (x, y) counted from the top-left, read from a
/// bottom-up buffer of 3- or 4-byte blue-green-red pixels.
QRgb bufferPixel(const unsigned char *bits, int stride, int height, int channels, int x, int y);

} // namespace grelm::test
