#include "thumbs/thumbnail_bitmap.h"

#include "thumbs/area_reduction.h"
#include "thumbs/bmp24_file.h"
#include "thumbs/thumbnail_color.h"
#include "thumbs/thumbnail_error.h"
#include "thumbs/thumbnail_fit.h"

namespace grelm {

namespace {

void fillRows(std::uint8_t *rows, std::int32_t width, std::int32_t height, std::int32_t pitch, QRgb colour)
{
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t *p = rows + std::size_t(y) * std::size_t(pitch);
        for (std::int32_t x = 0; x < width; ++x, p += 3) {
            p[0] = std::uint8_t(qBlue(colour));
            p[1] = std::uint8_t(qGreen(colour));
            p[2] = std::uint8_t(qRed(colour));
        }
    }
}

} // namespace

void makeThumbnailBmp(const BottomUpPicture &source, const ThumbnailSettings &settings, QByteArray &bmp,
                      ReductionScratch &scratch)
{
    if (source.pixels == nullptr)
        throw ThumbnailError("No picture to make a thumbnail of");
    const ThumbnailLayout layout = fitThumbnail(source.width, source.height, settings.maxWidth, settings.maxHeight,
                                                settings.forcedDimensions);
    std::uint8_t *rows = startBmp24(bmp, layout.canvasWidth, layout.canvasHeight);
    const std::int32_t pitch = bmp24Pitch(layout.canvasWidth);
    if (settings.forcedDimensions)
        fillRows(rows, layout.canvasWidth, layout.canvasHeight, pitch, translateColor(settings.backColor));
    // The rows are bottom-up: the picture's bottom row lies `top` rows above
    // the canvas's bottom edge less its own height.
    const std::int32_t bottom = layout.canvasHeight - layout.top - layout.fittedHeight;
    std::uint8_t *at = rows + std::size_t(bottom) * std::size_t(pitch) + std::size_t(layout.left) * 3;
    reduceArea(source, layout.fittedWidth, layout.fittedHeight, at, pitch, scratch);
}

QImage makeThumbnailImage(const QImage &source, const ThumbnailSettings &settings)
{
    if (source.isNull())
        throw ThumbnailError("No picture to make a thumbnail of");
    const QImage rows = source.convertToFormat(QImage::Format_BGR888).mirrored();
    if (rows.isNull())
        throw ThumbnailError("Not enough memory for the thumbnail");
    const BottomUpPicture picture{rows.constBits(), rows.width(), rows.height(), std::int32_t(rows.bytesPerLine())};
    QByteArray bmp;
    ReductionScratch scratch;
    makeThumbnailBmp(picture, settings, bmp, scratch);
    return imageOfBmp24(bmp);
}

QImage imageOfBmp24(const QByteArray &bmp)
{
    const BottomUpPicture picture = bmp24Picture(bmp);
    const QImage rows(picture.pixels, picture.width, picture.height, picture.pitch, QImage::Format_BGR888);
    return rows.mirrored().convertToFormat(QImage::Format_RGB32);
}

} // namespace grelm
