#include "thumbs/thumbnail_fit.h"

#include "core/numeric.h"
#include "thumbs/thumbnail_error.h"

#include <algorithm>

namespace grelm {

namespace {

// Scales `length` by `limit / reference`, dividing first so that the rounding
// of the result matches the established thumbnail sizes (640 x 480 in a box of
// 70 gives 52, not 53). A picture is never reduced to nothing: a sliver of one
// pixel stays.
std::int32_t scaledLength(std::int32_t limit, std::int32_t reference, std::int32_t length)
{
    const double ratio = static_cast<double>(limit) / static_cast<double>(reference);
    return std::max(roundToInt32(ratio * static_cast<double>(length)), 1);
}

// Half the free space beside the picture, rounded half to even.
std::int32_t centringOffset(std::int32_t box, std::int32_t fitted)
{
    const auto space = checkedNarrow<std::int32_t>(std::int64_t{box} - std::int64_t{fitted});
    return roundToInt32(static_cast<double>(space) / 2.0);
}

} // namespace

ThumbnailLayout fitThumbnail(std::int32_t sourceWidth, std::int32_t sourceHeight,
                             std::int32_t maxWidth, std::int32_t maxHeight,
                             bool forcedDimensions)
{
    // A negative box makes the fitting divide by sizes of no meaning (by zero
    // where a side rounds to nothing): the arithmetic's own error. A box of
    // nothing leaves no canvas to draw on.
    if (maxWidth < 0 || maxHeight < 0)
        throw FloatingPointError();
    if (maxWidth == 0 || maxHeight == 0)
        throw ThumbnailError("The thumbnail size must be at least one pixel");
    if (sourceWidth <= 0 || sourceHeight <= 0)
        throw ThumbnailError("The picture is empty");

    ThumbnailLayout layout;
    layout.fittedWidth = sourceWidth;
    layout.fittedHeight = sourceHeight;
    if (layout.fittedWidth > maxWidth) {
        layout.fittedHeight = scaledLength(maxWidth, sourceWidth, sourceHeight);
        layout.fittedWidth = maxWidth;
    }
    // Works on the width-fitted size, so a tall picture is rounded twice.
    if (layout.fittedHeight > maxHeight) {
        layout.fittedWidth = scaledLength(maxHeight, layout.fittedHeight, layout.fittedWidth);
        layout.fittedHeight = maxHeight;
    }

    if (forcedDimensions) {
        layout.left = centringOffset(maxWidth, layout.fittedWidth);
        layout.top = centringOffset(maxHeight, layout.fittedHeight);
        layout.canvasWidth = maxWidth;
        layout.canvasHeight = maxHeight;
    } else {
        layout.canvasWidth = layout.fittedWidth;
        layout.canvasHeight = layout.fittedHeight;
    }
    return layout;
}

} // namespace grelm
