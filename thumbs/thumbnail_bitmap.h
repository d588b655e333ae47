#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>

namespace grelm {

struct BottomUpPicture;
struct ReductionScratch;

/// What a thumbnail is made with: the box, the background colour (a Windows
/// colour value) and whether the output is exactly the box's size.
struct ThumbnailSettings {
    std::int32_t maxWidth = 50;
    std::int32_t maxHeight = 50;
    std::uint32_t backColor = 0x00FFFFFF;
    bool forcedDimensions = false;
};

/// Makes the thumbnail of `source` as the bytes of a 24-bit bitmap file: the
/// picture reduced by exact area averaging until it fits the box, never
/// enlarged; with forcedDimensions centred on a box-sized canvas filled with
/// the background colour. `bmp` and `scratch` keep their capacity from call
/// to call. Touches no file and no global state, so it may run on any thread.
/// Throws ThumbnailError for an empty source or box, FloatingPointError for a
/// negative box and OverflowError when the fitting leaves 32 bits. The program
/// uses this; makeThumbnailImage and imageOfBmp24 below are kept for outside
/// callers (only tests use them today).
void makeThumbnailBmp(const BottomUpPicture &source, const ThumbnailSettings &settings, QByteArray &bmp,
                      ReductionScratch &scratch);

/// The same thumbnail of an image, as an RGB32 image.
QImage makeThumbnailImage(const QImage &source, const ThumbnailSettings &settings);

/// The pixels of a 24-bit bitmap file that makeThumbnailBmp made, as an RGB32 image.
QImage imageOfBmp24(const QByteArray &bmp);

} // namespace grelm
