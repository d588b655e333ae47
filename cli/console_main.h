#pragma once

namespace grelm {

struct CommandLine;

/// Runs a command-line mode without a window (no display needed) and returns
/// the process's exit status.
int runConsole(int argc, char **argv, const CommandLine &line);

} // namespace grelm
