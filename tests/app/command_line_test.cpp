// The command line: which mode, which options, and what is refused.
#include "app/command_line.h"
#include "core/file_names.h"

#include <gtest/gtest.h>

using namespace grelm;
using Mode = CommandLine::Mode;

TEST(CommandLine, ModesOptionsAndRefusals)
{
    const struct {
        std::vector<QByteArray> args;
        Mode mode;
        const char *folder; ///< null: none given
        bool thumbs, deleteSource;
        const char *width;
        bool refused;
    } rows[] = {
        {{}, Mode::Window, nullptr, false, false, "70", false},
        {{"-platform", "xcb"}, Mode::Window, nullptr, false, false, "70", false}, // Qt's own arguments
        {{"--convert"}, Mode::Convert, nullptr, false, false, "70", false},
        {{"--convert", "/g", "--thumbs=120", "--delete"}, Mode::Convert, "/g", true, true, "120", false},
        {{"--watch", "--thumbs", "/g"}, Mode::Watch, "/g", true, false, "70", false},
        {{"--convert", "/caf\xe9"}, Mode::Convert, "/caf\xe9", false, false, "70", false}, // a folder of any bytes
        {{"--convert", "--delete"}, Mode::Convert, nullptr, false, true, "70", true},   // only thumbnails delete
        {{"--convert", "/a", "/b"}, Mode::Convert, "/a", false, false, "70", true},
        {{"--convert", "--frobnicate"}, Mode::Convert, nullptr, false, false, "70", true},
        {{"--find-games", "x"}, Mode::FindGames, nullptr, false, false, "70", true},
        {{"--convert", "--help"}, Mode::Help, nullptr, false, false, "70", false},
        {{"--version"}, Mode::Version, nullptr, false, false, "70", false},
    };
    for (const auto &row : rows) {
        const CommandLine line = parseCommandLine(row.args);
        const QString what = QString::fromUtf8(row.args.empty() ? QByteArray("(none)") : row.args.back());
        EXPECT_EQ(line.mode, row.mode) << what.toStdString();
        EXPECT_EQ(line.folder ? encodeFileName(*line.folder) : QByteArray(), QByteArray(row.folder ? row.folder : ""))
            << what.toStdString();
        EXPECT_EQ(line.thumbs, row.thumbs) << what.toStdString();
        EXPECT_EQ(line.deleteSource, row.deleteSource) << what.toStdString();
        EXPECT_EQ(line.width, QString::fromLatin1(row.width)) << what.toStdString();
        EXPECT_EQ(!line.error.isEmpty(), row.refused) << what.toStdString();
    }
}
