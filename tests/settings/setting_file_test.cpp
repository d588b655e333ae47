#include "settings/setting_file.h"

#include "core/errors.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <optional>

namespace grelm {
namespace {

struct ReadCase {
    const char *name;
    QByteArray bytes;
    std::optional<QString> folder; // nothing: the read fails
};

// A line whose first double quote stands at `position` (1-based).
QByteArray quoteAt(int position)
{
    return QByteArray(position - 1, 'x') + "\"A\"\r\n";
}

const std::vector<ReadCase> &readCases()
{
    static const std::vector<ReadCase> cases = {
        {"worked example, 23 bytes", "\"C:\\SIERRA\\Half-Life\"\r\n", QStringLiteral("C:\\SIERRA\\Half-Life")},
        {"two lines: the last counts", "\"/games/one\"\r\n\"/games/two\"\r\n", QStringLiteral("/games/two")},
        {"no quote: only the last character goes", "D:\\Games\\Half-Life\r\n", QStringLiteral("D:\\Games\\Half-Lif")},
        {"text before the first quote dropped", "x\"C:\\A\"\r\n", QStringLiteral("C:\\A")},
        {"blank after the closing quote", "\"C:\\A\" \r\n", QStringLiteral("C:\\A\"")},
        {"quotes inside the folder kept", "\"/a\"b\"c\"\r\n", QStringLiteral("/a\"b\"c")},
        {"two quotes: empty folder", "\"\"\r\n", QStringLiteral("")},
        {"no line end at the end", "\"/games/hl\"", QStringLiteral("/games/hl")},
        {"LF ends a line", "\"/games/hl\"\n", QStringLiteral("/games/hl")},
        {"LF lines: the last counts", "\"/a\"\n\"/b\"\n", QStringLiteral("/b")},
        {"CR ends a line", "\"/a\"\r\"/b\"\r", QStringLiteral("/b")},
        {"UTF-8 folder", "\"/spiele/Größe\"\r\n", QStringLiteral("/spiele/Größe")},
        {"last character a surrogate pair", "x\xF0\x9F\x8E\xAE\r\n", QStringLiteral("x")},
        {"quote at position 32766", quoteAt(32766), QStringLiteral("A")},
        {"one quote only", "\"\r\n", std::nullopt},
        {"empty last line", "\"/games/hl\"\r\n\r\n", std::nullopt},
        {"empty last line after LF", "\"/games/hl\"\n\n", std::nullopt},
        {"zero bytes", "", std::nullopt},
        {"only a line end", "\r\n", std::nullopt},
        {"quote at position 32767 overflows", quoteAt(32767), std::nullopt},
        {"quote beyond position 32767", quoteAt(40000), std::nullopt},
    };
    return cases;
}

TEST(SettingFileTest, ReadsTheFolderFromTheBytesOnDisk)
{
    for (const ReadCase &c : readCases()) {
        SCOPED_TRACE(c.name);
        test::TempFolder program;
        program.write(kSettingFileName, c.bytes);
        EXPECT_EQ(readSettingFile(program.path()), c.folder);
    }
}

TEST(SettingFileTest, MissingFileOrFolderInItsPlaceGivesNoFolder)
{
    test::TempFolder program;
    EXPECT_EQ(readSettingFile(program.path()), std::nullopt);
    program.write(kSettingFileName + QStringLiteral("/inside"), "\"/games\"\r\n");
    EXPECT_EQ(readSettingFile(program.path()), std::nullopt);
}

TEST(SettingFileTest, WritesOneQuotedLineThatReadsBackUnchanged)
{
    const QList<QString> folders = {QStringLiteral("/home/me/Half-Life"), QString(), QStringLiteral("/"),
                                    QStringLiteral("/a\"b"), QStringLiteral(" /blanks kept "),
                                    QStringLiteral("/spiele/Größe")};
    for (const QString &folder : folders) {
        SCOPED_TRACE(folder.toStdString());
        test::TempFolder program;
        writeSettingFile(program.path(), folder);
        EXPECT_EQ(program.read(kSettingFileName), '"' + folder.toUtf8() + "\"\r\n");
        EXPECT_EQ(readSettingFile(program.path()), folder);
    }
}

TEST(SettingFileTest, EmptyFolderIsFourBytes)
{
    test::TempFolder program;
    writeSettingFile(program.path(), QString());
    EXPECT_EQ(program.read(kSettingFileName), QByteArray("\"\"\r\n"));
}

TEST(SettingFileTest, WriteReplacesAnUnreadableFile)
{
    test::TempFolder program;
    program.write(kSettingFileName, "\"\r\n");
    ASSERT_EQ(readSettingFile(program.path()), std::nullopt);
    writeSettingFile(program.path(), QStringLiteral("/games/hl"));
    EXPECT_EQ(readSettingFile(program.path()), QStringLiteral("/games/hl"));
}

TEST(SettingFileTest, FailedWriteThrowsFileError)
{
    test::TempFolder sandbox;
    sandbox.write(QStringLiteral("plain-file"), "not a folder");
    // A program folder inside a regular file cannot hold anything, even for root.
    EXPECT_THROW(writeSettingFile(sandbox.file(QStringLiteral("plain-file/bin")), QStringLiteral("/x")), FileError);
    EXPECT_EQ(sandbox.read(QStringLiteral("plain-file")), QByteArray("not a folder"));
}

} // namespace
} // namespace grelm
