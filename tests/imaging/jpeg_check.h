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

} // namespace grelm::test
