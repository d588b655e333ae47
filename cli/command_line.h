#pragma once

#include <QByteArray>
#include "core/file_path.h"

#include <QString>

#include <optional>
#include <vector>

namespace grelm {

/// What the program was asked to do from the command line. Without one of
/// the modes below it is the window, and Qt takes the arguments.
struct CommandLine {
    enum class Mode { Window, Convert, Watch, FindGames, Help, Version };
    Mode mode = Mode::Window;
    std::optional<FilePath> folder; ///< the game folder; the stored one when not given
    bool thumbs = false;
    QString width = QStringLiteral("70"); ///< the thumbnail box, as typed
    bool deleteSource = false;
    QString error; ///< why the arguments cannot be used; empty when they can
};

/// Reads the arguments after the program's name, kept as bytes so that a
/// folder of any name passes through.
CommandLine parseCommandLine(const std::vector<QByteArray> &args);

/// The usage text printed by --help.
QString commandLineHelp();

} // namespace grelm
