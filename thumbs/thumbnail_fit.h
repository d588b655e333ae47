#pragma once

#include <cstdint>

namespace grelm {

/// Where a reduced picture goes: the canvas size, and the picture's size and
/// position on it.
struct ThumbnailLayout {
    std::int32_t canvasWidth = 0;
    std::int32_t canvasHeight = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t fittedWidth = 0;
    std::int32_t fittedHeight = 0;

    bool operator==(const ThumbnailLayout &) const = default;
};

/// Reduces a source size in proportion until it fits the box (never enlarging)
/// and places it: centred on a box-sized canvas with `forcedDimensions`, else
/// alone on a canvas of its own size. Throws ThumbnailError for an empty box or
/// source, FloatingPointError for a negative box, OverflowError when a value
/// leaves 32 bits.
ThumbnailLayout fitThumbnail(std::int32_t sourceWidth, std::int32_t sourceHeight,
                             std::int32_t maxWidth, std::int32_t maxHeight,
                             bool forcedDimensions);

} // namespace grelm
