#pragma once

#include "imaging/bmp_reader.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace grelm::test {

/// The picture held in a bottom-up buffer of 3- or 4-byte pixels, top row first.
QImage bufferImage(const unsigned char *bits, int width, int height, int stride, int channels);

/// The picture held in a 24-bit bottom-up buffer of padded rows, top row first.
QImage bufferImage(const std::vector<std::uint8_t> &pixels, const BmpResult &size);

/// A picture that uses every entry of `palette` in turn.
QImage paletteImage(int width, int height, const std::vector<QRgb> &palette);

/// `image` as a depth with `bits` bits per channel shows it: each channel cut
/// to its top bits and spread back over 8 bits by repeating them.
QImage quantised(const QImage &image, int redBits, int greenBits, int blueBits);

} // namespace grelm::test
