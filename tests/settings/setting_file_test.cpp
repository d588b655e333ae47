#include "settings/setting_file.h"
#include "settings/setting_store.h"

#include "core/errors.h"
#include "support/qt_print.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sys/stat.h>

namespace grelm {
namespace {

struct ReadCase {
    const char *name;
    QByteArray bytes;
    std::optional<QString> folder; // nothing: the read fails
};

// A folder as the text the cases give it in (valid UTF-8, or a byte as U+DC80 + byte).
FilePath pathOf(const QString &text)
{
    return FilePath::fromEscapedText(text);
}

std::optional<QString> textOf(const std::optional<FilePath> &path)
{
    return path ? std::optional<QString>(path->escapedText()) : std::nullopt;
}

// A line whose first double quote stands at `position` (1-based).
QByteArray quoteAt(int position)
{
    return QByteArray(position - 1, 'x') + "\"A\"\r\n";
}

// `text` as UTF-16 in the given byte order, after its byte-order mark.
QByteArray utf16(const QString &text, QSysInfo::Endian order)
{
    QByteArray bytes = order == QSysInfo::LittleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes.append(order == QSysInfo::LittleEndian ? low : high);
        bytes.append(order == QSysInfo::LittleEndian ? high : low);
    }
    return bytes;
}

// A file far larger than the part that is read, its last line at the very end.
QByteArray largeFileEndingIn(const QByteArray &lastLine)
{
    return QByteArray(3 * kSettingFileTail, 'x') + "\r\n" + lastLine;
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
        {"UTF-8 byte-order mark dropped", "\xEF\xBB\xBF\"/games/hl\"\r\n", QStringLiteral("/games/hl")},
        {"UTF-16 LE with its mark", utf16(QStringLiteral("\"/a\"\r\n\"/spiele/Größe\"\r\n"), QSysInfo::LittleEndian),
         QStringLiteral("/spiele/Größe")},
        {"UTF-16 BE with its mark", utf16(QStringLiteral("\"/spiele/Größe\"\r\n"), QSysInfo::BigEndian),
         QStringLiteral("/spiele/Größe")},
        {"large file, last line at the end", largeFileEndingIn("\"/games/hl\"\r\n"), QStringLiteral("/games/hl")},
        {"large UTF-16 file", utf16(QString(kSettingFileTail, u'x') + QStringLiteral("\r\"/b\"\r"), QSysInfo::BigEndian),
         QStringLiteral("/b")},
        {"last line longer than the part read", largeFileEndingIn('"' + QByteArray(kSettingFileTail, 'a') + "\"\r\n"),
         std::nullopt},
        {"whole file one line longer than the part read", '"' + QByteArray(kSettingFileTail, 'a') + '"', std::nullopt},
    };
    return cases;
}

TEST(SettingFileTest, ReadsTheFolderFromTheBytesOnDisk)
{
    for (const ReadCase &c : readCases()) {
        SCOPED_TRACE(c.name);
        test::TempFolder program;
        program.write(kSettingFileName, c.bytes);
        EXPECT_EQ(textOf(readSettingFile(program.filePath())), c.folder);
    }
}

TEST(SettingFileTest, NoRegularFileInItsPlaceGivesNoFolderAtOnce)
{
    // Each puts something other than a regular file where the setting file belongs.
    const std::vector<std::pair<const char *, std::function<void(const QString &)>>> places = {
        {"missing", [](const QString &) {}},
        {"folder", [](const QString &path) { ASSERT_TRUE(QDir().mkpath(path)); }},
        {"FIFO without a writer", [](const QString &path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path), 0600), 0); }},
        {"link to /dev/zero", [](const QString &path) { ASSERT_TRUE(QFile::link("/dev/zero", path)); }},
        {"dangling link", [](const QString &path) { ASSERT_TRUE(QFile::link(path + ".gone", path)); }},
    };
    for (const auto &[name, make] : places) {
        SCOPED_TRACE(name);
        test::TempFolder program;
        make(program.file(kSettingFileName));
        EXPECT_EQ(readSettingFile(program.filePath()), std::nullopt);
    }
}

TEST(SettingFileTest, WritesOneQuotedLineThatReadsBackUnchanged)
{
    const QList<QString> folders = {QStringLiteral("/home/me/Half-Life"), QString(), QStringLiteral("/"),
                                    QStringLiteral("/a\"b"), QStringLiteral(" /blanks kept "),
                                    QStringLiteral("/spiele/Größe")};
    for (const QString &folder : folders) {
        SCOPED_TRACE(folder.toStdString());
        test::TempFolder program;
        writeSettingFile(program.filePath(), pathOf(folder));
        EXPECT_EQ(program.read(kSettingFileName), '"' + folder.toUtf8() + "\"\r\n");
        EXPECT_EQ(textOf(readSettingFile(program.filePath())), folder);
    }
}

TEST(SettingFileTest, EmptyFolderIsFourBytes)
{
    test::TempFolder program;
    writeSettingFile(program.filePath(), FilePath());
    EXPECT_EQ(program.read(kSettingFileName), QByteArray("\"\"\r\n"));
}

TEST(SettingFileTest, WriteReplacesAnUnreadableFile)
{
    test::TempFolder program;
    program.write(kSettingFileName, "\"\r\n");
    ASSERT_EQ(readSettingFile(program.filePath()), std::nullopt);
    writeSettingFile(program.filePath(), FilePath("/games/hl"));
    EXPECT_EQ(readSettingFile(program.filePath()), FilePath("/games/hl"));
}

TEST(SettingFileTest, FailedWriteThrowsFileError)
{
    test::TempFolder sandbox;
    sandbox.write(QStringLiteral("plain-file"), "not a folder");
    // A program folder inside a regular file cannot hold anything, even for root.
    EXPECT_THROW(writeSettingFile(sandbox.filePath(QStringLiteral("plain-file/bin")), FilePath("/x")), FileError);
    EXPECT_EQ(sandbox.read(QStringLiteral("plain-file")), QByteArray("not a folder"));
}

TEST(SettingFileTest, FolderWithALineBreakOrNulIsRefusedAndTheFileKept)
{
    for (const QString &folder : {QStringLiteral("/a\rb"), QStringLiteral("/a\nb"), QStringLiteral("/a") + QChar(u'\0')}) {
        test::TempFolder program;
        program.write(kSettingFileName, "\"/old\"\r\n");
        EXPECT_FALSE(isStorableFolder(pathOf(folder)));
        EXPECT_THROW(writeSettingFile(program.filePath(), pathOf(folder)), FileError);
        EXPECT_EQ(program.read(kSettingFileName), QByteArray("\"/old\"\r\n"));
    }
}

enum class Place { Empty, HasFile, Unwritable };

struct StoreCase {
    const char *name;
    Place program;
    Place config;
    bool configUnwritableAfterRead;
    std::optional<QString> read;
    const char *writtenTo; // "program", "config", or nullptr: every place fails
};

// The program folder and the config folder of one case, in a sandbox. An
// unwritable place lies inside a regular file, which stops root as well.
struct StorePlaces {
    explicit StorePlaces(const StoreCase &c)
        : program(make(c.program, "program", "\"/p\"\r\n")), config(make(c.config, "config", "\"/c\"\r\n"))
    {
    }
    FilePath make(Place state, const QString &name, const QByteArray &bytes) const
    {
        if (state == Place::Unwritable) {
            sandbox.write(name, "a regular file");
            return sandbox.filePath(name + QStringLiteral("/grelm-converter"));
        }
        const FilePath folder = sandbox.filePath(name + QStringLiteral("/grelm-converter"));
        if (state == Place::HasFile)
            sandbox.write(name + QStringLiteral("/grelm-converter/") + kSettingFileName, bytes);
        return folder;
    }
    QByteArray bytesIn(const FilePath &folder) const
    {
        QFile file(settingFilePath(folder).escapedText());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    test::TempFolder sandbox;
    FilePath program, config;
};

TEST(SettingStoreTest, ReadsBesideTheProgramElseInTheConfigFolderAndWritesWhereItWorks)
{
    using P = Place;
    const StoreCase cases[] = {
        {"file beside the program wins", P::HasFile, P::HasFile, false, QStringLiteral("/p"), "program"},
        {"config file read when none is beside the program", P::Empty, P::HasFile, false, QStringLiteral("/c"), "config"},
        {"no file: written beside the program", P::Empty, P::Empty, false, std::nullopt, "program"},
        {"read-only program folder: config folder made", P::Unwritable, P::Empty, false, std::nullopt, "config"},
        {"config read, then not writable: beside the program", P::Empty, P::HasFile, true, QStringLiteral("/c"), "program"},
        {"every place fails", P::Unwritable, P::Unwritable, false, std::nullopt, nullptr},
    };
    for (const StoreCase &c : cases) {
        SCOPED_TRACE(c.name);
        StorePlaces places(c);
        if (c.program == P::Empty) {
            ASSERT_TRUE(QDir().mkpath(places.program.escapedText()));
        }
        const SettingPlaces settingPlaces{places.program, places.config};
        SettingStore store(settingPlaces);
        EXPECT_EQ(textOf(store.read()), c.read);
        if (c.configUnwritableAfterRead) {
            ASSERT_TRUE(QDir(places.config.escapedText()).removeRecursively());
            places.sandbox.write(QStringLiteral("config/grelm-converter"), "now a regular file");
        }
        if (!c.writtenTo) {
            EXPECT_THROW(store.write(FilePath("/new")), FileError);
            continue;
        }
        const QByteArray before = places.bytesIn(places.program) + places.bytesIn(places.config);
        store.write(FilePath("/new"));
        const FilePath target = QString::fromLatin1(c.writtenTo) == "program" ? places.program : places.config;
        EXPECT_EQ(places.bytesIn(target), settingFileBytes(FilePath("/new")));
        const FilePath other = target == places.program ? places.config : places.program;
        EXPECT_TRUE(before.contains(places.bytesIn(other))) << "the other place was changed";
        EXPECT_EQ(SettingStore(settingPlaces).read(), FilePath("/new")) << "not found at the next start";
    }
}

TEST(SettingStoreTest, ConfigFolderFollowsXdgConfigHomeElseTheHomeByteForByte)
{
    const QByteArray savedXdg = qgetenv("XDG_CONFIG_HOME");
    const QByteArray savedHome = qgetenv("HOME");
    const struct {
        const char *xdg;
        const char *home;
        QByteArray folder; // the bytes of the config folder
    } cases[] = {
        {"/xdg/config", "/home/u", "/xdg/config/grelm-converter"},
        {"", "/home/u", "/home/u/.config/grelm-converter"},
        {"relative/config", "/home/u", "/home/u/.config/grelm-converter"},
        // Names that are not UTF-8 keep their bytes, so the file is found where it was stored.
        {"", "/home/caf\xe9", "/home/caf\xe9/.config/grelm-converter"},
        {"/cfg/\xe9t\xe9", "/home/u", "/cfg/\xe9t\xe9/grelm-converter"},
    };
    for (const auto &c : cases) {
        qputenv("XDG_CONFIG_HOME", c.xdg);
        qputenv("HOME", c.home);
        EXPECT_EQ(userConfigFolder().bytes(), c.folder) << c.xdg << " " << c.home;
    }
    qputenv("XDG_CONFIG_HOME", savedXdg);
    qputenv("HOME", savedHome);
}

} // namespace
} // namespace grelm
