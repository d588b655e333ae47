#pragma once

namespace grelm {

struct CommandLine;

/// --watch: converts what the folder holds, then each new screenshot once it
/// is complete, until Ctrl-C or SIGTERM; returns the exit status.
int runConsoleWatch(const CommandLine &line);

} // namespace grelm
