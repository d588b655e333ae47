#pragma once

#include "imaging/bmp_header.h"

#include <cstdint>
#include <span>

namespace grelm {

/// Decodes the pixel array `data` (the file from the pixel offset on) that
/// `header` describes into `dst`: header.height rows of bufferRowBytes() bytes,
/// 24-bit blue-green-red, bottom-up, padding zeroed. Every byte of `dst` is
/// written, whatever the file holds. Returns nullptr on success, otherwise why
/// the pixel array is refused (`dst` then holds no meaningful picture).
const char *decodeBmpPixels(const BmpHeader &header, std::span<const std::uint8_t> data, std::uint8_t *dst);

/// Decodes a run-length encoded pixel array (RLE8 or RLE4); see decodeBmpPixels.
const char *decodeBmpRle(const BmpHeader &header, std::span<const std::uint8_t> data, std::uint8_t *dst);

} // namespace grelm
