#include "app/console_main.h"

#include "app/command_line.h"
#include "app/console_convert.h"
#include "app/console_watch.h"
#include "games/game_folders.h"
#include "games/steam_libraries.h"

#include <QCoreApplication>

#include <cstdio>

namespace grelm {

int runConsole(int argc, char **argv, const CommandLine &line)
{
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "grelm-converter: %s\nTry grelm-converter --help.\n", line.error.toUtf8().constData());
        return 2;
    }
    if (line.mode == CommandLine::Mode::Help) {
        std::fputs(commandLineHelp().toUtf8().constData(), stdout);
        return 0;
    }
    if (line.mode == CommandLine::Mode::Version) {
        std::printf("grelm-converter %s\n", GRELM_VERSION);
        return 0;
    }
    QCoreApplication app(argc, argv);
    catchStopSignals();
    switch (line.mode) {
    case CommandLine::Mode::Convert:
        return runConsoleConvert(line);
    case CommandLine::Mode::Watch:
        return runConsoleWatch(line);
    case CommandLine::Mode::FindGames:
        return printGameFolders(homeFolder());
    default:
        return 2;
    }
}

} // namespace grelm
