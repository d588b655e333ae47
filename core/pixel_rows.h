#pragma once

#include <cstdint>

namespace grelm {

// How rows of pixels lie, said once for the whole program. A Windows bitmap
// file stores its rows bottom-up when its height is positive (top-down when
// negative); the pixel buffer cDIBSection always holds bottom-up rows and a
// positive height; the JPEG library's record marks bottom-up rows by a
// negative DIBHeight, and TurboJPEG by TJFLAG_BOTTOMUP; a QImage's rows are
// top-down. Every row of a bitmap file and of the pixel buffer is padded to a
// multiple of 4 bytes.

/// The bytes a row of `payload` bytes takes once padded to a multiple of 4
/// (for a negative payload, as callers checking for overflow pass, the same
/// rounding towards the next multiple of 4 above).
constexpr std::int64_t paddedRowBytes(std::int64_t payload)
{
    return (payload + 3) & ~std::int64_t(3);
}

} // namespace grelm
