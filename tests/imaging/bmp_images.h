#pragma once

#include "imaging/bmp_reader.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace grelm::test {

/// The picture held in a 24-bit bottom-up buffer, top row first.
QImage bufferImage(const std::vector<std::uint8_t> &pixels, const BmpResult &size);

/// A picture that uses every entry of `palette` in turn.
QImage paletteImage(int width, int height, const std::vector<QRgb> &palette);

/// `image` as a depth with `bits` bits per channel shows it: each channel cut
/// to its top bits and spread back over 8 bits by repeating them.
QImage quantised(const QImage &image, int redBits, int greenBits, int blueBits);

/// Where two pictures first differ, or an empty text when they are equal.
std::string firstDifference(const QImage &actual, const QImage &expected);

} // namespace grelm::test
