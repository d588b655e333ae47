#pragma once

#include <QImage>

#include <cstdint>

namespace grelm {

/// What a thumbnail is made with: the box, the background colour (a Windows
/// colour value) and whether the output is exactly the box's size.
struct ThumbnailSettings {
    std::int32_t maxWidth = 50;
    std::int32_t maxHeight = 50;
    std::uint32_t backColor = 0x00FFFFFF;
    bool forcedDimensions = false;
};

/// Reduces `source` with area averaging until it fits the box, never enlarging
/// it; with forcedDimensions it sits centred on a box-sized canvas filled with
/// the background colour. The result is RGB32. Touches no file and no global
/// state, so it may run on any thread. Throws ThumbnailError for a null source,
/// an empty or negative box or a canvas that cannot be allocated, and
/// OverflowError when the fitting leaves 32 bits.
QImage makeThumbnailImage(const QImage &source, const ThumbnailSettings &settings);

} // namespace grelm
