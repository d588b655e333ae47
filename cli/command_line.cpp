#include "cli/command_line.h"

#include "thumbs/make_thumbnails.h"

#include <exception>

namespace grelm {

namespace {

using Mode = CommandLine::Mode;

std::optional<Mode> modeOf(const QByteArray &arg)
{
    if (arg == "--convert")
        return Mode::Convert;
    if (arg == "--watch")
        return Mode::Watch;
    if (arg == "--find-games")
        return Mode::FindGames;
    if (arg == "--help" || arg == "-h")
        return Mode::Help;
    if (arg == "--version")
        return Mode::Version;
    return std::nullopt;
}

// The widths the window's thumbnail box takes.
bool acceptedWidth(const QString &width)
{
    try {
        thumbnailWidth(width);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

// Takes one argument of a convert or watch run; false with `error` set when it is not one.
bool takeOption(const QByteArray &arg, CommandLine &line)
{
    if (arg == "--thumbs") {
        line.thumbs = true;
    } else if (arg.startsWith("--thumbs=")) {
        line.thumbs = true;
        line.width = QString::fromUtf8(arg.mid(9));
        if (!acceptedWidth(line.width)) {
            line.error = QStringLiteral("the thumbnail width must be a whole number above 0: %1").arg(line.width);
            return false;
        }
    } else if (arg == "--delete") {
        line.deleteSource = true;
    } else if (!arg.startsWith("-") && !line.folder) {
        line.folder = FilePath(arg);
    } else {
        line.error = QStringLiteral("unknown argument: %1").arg(FilePath(arg).shownText());
        return false;
    }
    return true;
}

} // namespace

CommandLine parseCommandLine(const std::vector<QByteArray> &args)
{
    CommandLine line;
    // A mode anywhere on the line selects the console; without one the
    // arguments are Qt's and the window starts.
    std::optional<std::size_t> modeAt;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::optional<Mode> mode = modeOf(args[i]);
        if (mode == Mode::Help) {
            line.mode = Mode::Help;
            return line;
        }
        if (mode && !modeAt)
            modeAt = i;
    }
    if (!modeAt)
        return line;
    line.mode = *modeOf(args[*modeAt]);
    const bool takesOptions = line.mode == Mode::Convert || line.mode == Mode::Watch;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i == *modeAt)
            continue;
        if (modeOf(args[i])) {
            line.error = QStringLiteral("%1 and %2 cannot be given together")
                             .arg(QString::fromUtf8(args[*modeAt]), QString::fromUtf8(args[i]));
            return line;
        }
        if (!takesOptions) {
            line.error = QStringLiteral("%1 takes no arguments").arg(QString::fromUtf8(args[*modeAt]));
            return line;
        }
        if (!takeOption(args[i], line))
            return line;
    }
    // Only the thumbnail pass deletes screenshots: without it nothing would be.
    if (line.deleteSource && !line.thumbs)
        line.error = QStringLiteral("--delete needs --thumbs: screenshots are deleted once their thumbnails are made");
    return line;
}

QString commandLineHelp()
{
    return QStringLiteral(
        "Usage: grelm-converter                        the window\n"
        "       grelm-converter --convert [FOLDER] [--thumbs[=WIDTH]] [--delete]\n"
        "       grelm-converter --watch [FOLDER] [--thumbs[=WIDTH]] [--delete]\n"
        "       grelm-converter --find-games\n"
        "       grelm-converter --help | --version\n"
        "\n"
        "--convert converts every screenshot (*.bmp) of FOLDER, by default the stored\n"
        "game folder, to JPEG as the window's Convert does; --thumbs also makes\n"
        "thumbnails (WIDTH pixels, 70 by default) in FOLDER/Thumbs, and --delete then\n"
        "deletes each screenshot once both of its JPEGs are on the disk.\n"
        "--watch converts what is there, then each new screenshot once it is complete,\n"
        "until Ctrl-C.\n"
        "--find-games lists the Half-Life engine game folders of the Steam installs in\n"
        "your home folder, one line each: screenshot count, tab, folder, tab, game name\n"
        "(exit status 0, also when none is found).\n"
        "\n"
        "Exit status: 0 all converted, 1 some failed, 2 wrong folder or arguments,\n"
        "130 stopped by Ctrl-C or SIGTERM (after the current file).\n");
}

} // namespace grelm
