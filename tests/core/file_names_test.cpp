// Names are bytes: every name comes back from the program byte for byte, and
// only the screen sees replacement characters.
#include "core/file_names.h"
#include "core/file_path.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace grelm;

TEST(FileNames, EveryNameKeepsItsBytesAndLowersAsItsKindAllows)
{
    const struct {
        QByteArray bytes;
        QByteArray lowered;
        const char *shown; ///< UTF-8
    } rows[] = {
        {"Shot01.BMP", "shot01.bmp", "Shot01.BMP"},
        {"\xc3\x89\x63ole.BMP", "\xc3\xa9\x63ole.bmp", "\xc3\x89\x63ole.BMP"},          // valid UTF-8: lowered fully
        {"CAF\xe9.BMP", "caf\xe9.bmp", "CAF\xef\xbf\xbd.BMP"},                         // Latin-1: ASCII only
        {"\xc3\x89\xe9X", "\xc3\x89\xe9x", "\xc3\x89\xef\xbf\xbdX"},                   // mixed: the valid É stays
        {"\xc0\xaf\xed\xa0\x80\xff", "\xc0\xaf\xed\xa0\x80\xff", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"}, // overlong, surrogate, 0xFF
        {"", "", ""},
        {"\xf4\x89\x83\x8d\xa7", "\xf4\x89\x83\x8d\xa7", "\xf4\x89\x83\x8d\xef\xbf\xbd"}, // a pair whose second half looks like a byte
        {"\xef\xbb\xbf" "A\xef\xbb\xbf", "\xef\xbb\xbf" "a\xef\xbb\xbf", "\xef\xbb\xbf" "A\xef\xbb\xbf"}, // byte-order marks are bytes of the name
        {"\xec\x01\xef\x8d\xef\xbb\xbf\x8d", "\xec\x01\xef\x8d\xef\xbb\xbf\x8d",
         "\xef\xbf\xbd\x01\xef\xbf\xbd\xef\xbf\xbd\xef\xbb\xbf\xef\xbf\xbd"},
    };
    for (const auto &row : rows) {
        const QString name = decodeFileName(row.bytes);
        EXPECT_EQ(encodeFileName(name), row.bytes) << row.bytes.toHex().constData();
        EXPECT_EQ(encodeFileName(lowerCaseName(name)), row.lowered) << row.bytes.toHex().constData();
        EXPECT_EQ(shownName(name).toUtf8(), QByteArray(row.shown)) << row.bytes.toHex().constData();
        // The path type gives the same views of the same bytes, and its text back the bytes.
        const FilePath path(row.bytes);
        EXPECT_EQ(path.bytes(), row.bytes);
        EXPECT_EQ(FilePath::fromEscapedText(path.escapedText()), path) << row.bytes.toHex().constData();
        EXPECT_EQ(FilePath::fromEscapedText(path.foldedText()).bytes(), row.lowered) << row.bytes.toHex().constData();
        EXPECT_EQ(path.shownText().toUtf8(), QByteArray(row.shown)) << row.bytes.toHex().constData();
    }
}

// Joining is plain concatenation with '/'; the name and the folder are cut at
// the last '/', whatever the bytes around it.
TEST(FilePath, JoinsAndSplitsOnTheBytes)
{
    const struct {
        QByteArray path, folder, fileName, joined; ///< joined: path / "x"
    } rows[] = {
        {"/a/b.jpg", "/a", "b.jpg", "/a/b.jpg/x"},
        {"/b.jpg", "/", "b.jpg", "/b.jpg/x"},
        {"b.jpg", ".", "b.jpg", "b.jpg/x"},
        {"/a/b/", "/a/b", "", "/a/b//x"},
        {"/a", "/", "a", "/a/x"},
        {"/caf\xe9/\xff\xfe.bmp", "/caf\xe9", "\xff\xfe.bmp", "/caf\xe9/\xff\xfe.bmp/x"},
        {"/\xc3/\xa9", "/\xc3", "\xa9", "/\xc3/\xa9/x"}, // one character's bytes split by a '/'
        {"", ".", "", "/x"},
    };
    for (const auto &row : rows) {
        const FilePath path(row.path);
        EXPECT_EQ(path.folder().bytes(), row.folder) << row.path.toHex().constData();
        EXPECT_EQ(path.fileName().bytes(), row.fileName) << row.path.toHex().constData();
        EXPECT_EQ((path / "x").bytes(), row.joined) << row.path.toHex().constData();
        EXPECT_EQ((path / FilePath("x")).bytes(), row.joined) << row.path.toHex().constData();
    }
    EXPECT_EQ((FilePath("/a") + ".jpg").bytes(), QByteArray("/a.jpg"));
    EXPECT_EQ(FilePath("/a//b/./c/../d/").cleaned().bytes(), QByteArray("/a/b/d"));
    EXPECT_EQ(FilePath("/caf\xe9//x/").cleaned().bytes(), QByteArray("/caf\xe9/x"));
}

// Paths are equal, hashed and ordered by their bytes alone: two spellings of
// one letter are two names, and a byte above 0x7F sorts after ASCII.
TEST(FilePath, ComparesAndHashesItsBytes)
{
    const FilePath latin1("caf\xe9"), utf8("caf\xc3\xa9"), sameLatin1(QByteArray("caf\xe9"));
    EXPECT_EQ(latin1, sameLatin1);
    EXPECT_NE(latin1, utf8);
    EXPECT_EQ(qHash(latin1), qHash(sameLatin1));
    EXPECT_EQ((QSet<FilePath>{latin1, utf8, sameLatin1}.size()), 2);
    EXPECT_LT(FilePath("caf"), latin1);
    EXPECT_LT(FilePath("z"), FilePath("\xe9"));
    EXPECT_EQ(utf8.escapedText(), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(utf8.shownText(), QStringLiteral("caf\u00e9"));
    EXPECT_NE(latin1.escapedText(), latin1.shownText()) << "only the shown text loses the byte";
    EXPECT_TRUE(FilePath().isEmpty());
    EXPECT_TRUE(FilePath("/x").isAbsolute());
    EXPECT_FALSE(FilePath("x/").isAbsolute());
    const struct {
        QByteArray name;
        bool plain;
    } names[] = {{"a.bmp", true}, {"\xff", true}, {"", false}, {".", false}, {"..", false}, {"...", true},
                 {"a/b", false}, {QByteArray("a\0b", 3), false}};
    for (const auto &row : names)
        EXPECT_EQ(FilePath(row.name).isPlainName(), row.plain) << row.name.toHex().constData();
}
