#include "app/console_watch.h"

#include "app/console_convert.h"

namespace grelm {

int runConsoleWatch(const CommandLine &line)
{
    return runConsoleConvert(line);
}

} // namespace grelm
