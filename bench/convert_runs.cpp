#include "bench/convert_runs.h"

#include "bench/headless_view.h"

#include <QDir>

namespace grelm::bench {

Measurement runConvert(const QString &folder, bool thumbnails, int workers)
{
    Q_UNUSED(folder);
    Q_UNUSED(thumbnails);
    Q_UNUSED(workers);
    Measurement m;
    m.unavailable = QStringLiteral("the Convert command is not built yet");
    return m;
}

} // namespace grelm::bench
