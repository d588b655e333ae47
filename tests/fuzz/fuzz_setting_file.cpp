// Feeds arbitrary bytes to the setting-file reader. Beyond what the
// sanitizers catch it checks the round trip: a folder the reader returns,
// stored again, reads back unchanged (unless it holds a line end, which the
// file format cannot carry), and so does the input itself taken as a folder.

#include "settings/setting_file.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

bool holdsLineEnd(const QString &folder)
{
    return folder.contains(QLatin1Char('\r')) || folder.contains(QLatin1Char('\n'));
}

void checkRoundTrip(const QString &folder)
{
    if (holdsLineEnd(folder))
        return;
    const std::optional<QString> back = grelm::parseSettingFile(grelm::settingFileBytes(folder));
    if (!back || *back != folder) {
        fprintf(stderr, "fuzz_setting_file: \"%s\" does not read back\n", folder.toUtf8().constData());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const std::optional<QString> folder = grelm::parseSettingFile(bytes))
        checkRoundTrip(*folder);
    checkRoundTrip(QString::fromUtf8(bytes));
    return 0;
}
