#include "thumbs/thumbnail_image.h"

#include "thumbs/thumbnail_color.h"
#include "thumbs/thumbnail_error.h"
#include "thumbs/thumbnail_fit.h"

#include <QPainter>

namespace grelm {

namespace {

void requireAllocated(const QImage &image)
{
    if (image.isNull())
        throw ThumbnailError("Not enough memory for the thumbnail");
}

} // namespace

QImage makeThumbnailImage(const QImage &source, const ThumbnailSettings &settings)
{
    if (source.isNull())
        throw ThumbnailError("No picture to make a thumbnail of");
    const ThumbnailLayout layout = fitThumbnail(source.width(), source.height(),
                                                settings.maxWidth, settings.maxHeight,
                                                settings.forcedDimensions);

    // Qt's smooth scaling averages every source pixel that falls on a
    // destination pixel when reducing, which keeps fine detail from aliasing.
    QImage reduced = source.convertToFormat(QImage::Format_RGB32)
                         .scaled(layout.fittedWidth, layout.fittedHeight,
                                 Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    requireAllocated(reduced);
    if (!settings.forcedDimensions)
        return reduced;

    QImage canvas(layout.canvasWidth, layout.canvasHeight, QImage::Format_RGB32);
    requireAllocated(canvas);
    canvas.fill(translateColor(settings.backColor));
    QPainter painter(&canvas);
    painter.drawImage(layout.left, layout.top, reduced);
    return canvas;
}

} // namespace grelm
