// Feeds arbitrary bytes to the setting-file reader. Beyond what the
// sanitizers catch it checks the round trip: a folder the reader returns,
// stored again, reads back unchanged (unless it holds a line break or a NUL,
// which the writer refuses), and so does the input itself taken as a folder.
// It also checks that reading only the file's ends, as the program does, never
// gives a folder that the whole file does not give.

#include "settings/setting_file.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what, const QByteArray &detail)
{
    fprintf(stderr, "fuzz_setting_file: %s: \"%s\"\n", what, detail.constData());
    std::abort();
}

void checkRoundTrip(const grelm::FilePath &folder)
{
    if (!grelm::isStorableFolder(folder))
        return;
    const std::optional<grelm::FilePath> back = grelm::parseSettingFile(grelm::settingFileBytes(folder));
    if (!back || *back != folder)
        fail("does not read back", folder.bytes());
}

// The first input byte chooses how many of the last bytes are read.
void checkEnds(const QByteArray &bytes)
{
    const qsizetype tailSize = bytes.isEmpty() ? 1 : 1 + static_cast<unsigned char>(bytes[0]);
    const QByteArray tail = bytes.right(tailSize);
    const std::optional<grelm::FilePath> fromEnds = grelm::parseSettingFileEnds({bytes.left(3), tail, bytes.size() - tail.size()});
    if (fromEnds && fromEnds != grelm::parseSettingFile(bytes))
        fail("its ends give another folder than the whole file", fromEnds->bytes());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const std::optional<grelm::FilePath> folder = grelm::parseSettingFile(bytes))
        checkRoundTrip(*folder);
    checkRoundTrip(grelm::FilePath::fromEscapedText(QString::fromUtf8(bytes)));
    checkEnds(bytes);
    return 0;
}
