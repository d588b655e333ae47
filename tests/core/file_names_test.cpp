// Names are bytes: every name comes back from the program byte for byte, and
// only the screen sees replacement characters.
#include "core/file_names.h"

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
    }
}

TEST(FileNames, TheFolderOfAPath)
{
    const struct {
        const char *path, *folder;
    } rows[] = {{"/a/b.jpg", "/a"}, {"/b.jpg", "/"}, {"b.jpg", "."}, {"/a/b/", "/a/b"}};
    for (const auto &row : rows)
        EXPECT_EQ(folderOfPath(row.path), row.folder) << row.path;
}
