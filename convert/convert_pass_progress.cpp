#include "convert/convert_pass_progress.h"

#include "core/convert_view.h"
#include "core/numeric.h"

namespace grelm {

int progressFill(std::size_t done, double count, int width)
{
    // A count of 0 makes the fraction infinite: the bar is simply full.
    const double fill = double(done) / count * width;
    if (!(fill < width))
        return width;
    if (!(fill > 0))
        return 0;
    return roundToInt32(fill);
}

void showPassProgress(ConvertView &view, std::size_t index)
{
    const QString count = view.countText();
    if (index == 0) {
        // The screenshot pass opens with this caption too: it is the window's
        // text for the start of any pass, not a slip, and shows only until the
        // second file.
        view.showProgress();
        view.setProgressCaption(QStringLiteral("Creating thumbnails... (0 of ") + count + u')');
        return;
    }
    view.setProgressCaption(QStringLiteral("Converting (") + QString::number(index) + QStringLiteral(" of ") + count
                            + u')');
    view.fillProgressBar(progressFill(index, leadingNumber(count), view.progressBarWidth()));
    view.processEvents();
}

} // namespace grelm
