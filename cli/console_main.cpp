#include "cli/console_main.h"

#include "cli/command_line.h"
#include "cli/console_convert.h"
#include "cli/console_watch.h"
#include "core/system_folders.h"
#include "games/game_folders.h"
#include "games/steam_libraries.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

namespace grelm {

namespace {

// The usage lines, the help text up to its first empty line.
QByteArray usageLines()
{
    const QString help = commandLineHelp();
    return help.left(help.indexOf(QStringLiteral("\n\n")) + 1).toUtf8();
}

int runMode(int argc, char **argv, const CommandLine &line)
{
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

} // namespace

int runConsole(int argc, char **argv, const CommandLine &line)
{
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "grelm-converter: %s\n%sTry grelm-converter --help.\n", line.error.toUtf8().constData(),
                     usageLines().constData());
        return 2;
    }
    // A reader that quits (a pipe into head) must not end the run halfway:
    // writes then fail with EPIPE, the run finishes, and the exit says so.
    std::signal(SIGPIPE, SIG_IGN);
    int status = runMode(argc, argv, line);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("grelm-converter: the output could not be written\n", stderr);
        if (status == 0)
            status = 1;
    }
    return status;
}

} // namespace grelm
