#include "imaging/batch_conversion.h"

#include <QByteArray>

#include <thread>

namespace grelm {

ConvertThreading ConvertThreading::fromEnvironment()
{
    ConvertThreading threading;
    bool ok = false;
    const int requested = qEnvironmentVariableIntValue("GRELM_WORKERS", &ok);
    threading.workers = ok ? requested : int(std::thread::hardware_concurrency());
    if (threading.workers < 1)
        threading.workers = 1;
    return threading;
}

} // namespace grelm
