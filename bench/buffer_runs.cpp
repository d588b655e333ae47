#include "bench/buffer_runs.h"

#include "core/messages.h"
#include "imaging/dib_section.h"
#include "imaging/helpers.h"
#include "imaging/jpeg_encoder.h"

#include <QDir>

namespace grelm::bench {

Measurement runBufferPath(const QString &folder, bool write)
{
    RecordingMessageSink messages;
    Measurement m;
    const Stopwatch clock;
    cDIBSection buffer(messages);
    JpegEncoder encoder;
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
    double pixels = 0;
    for (const QString &name : names) {
        buffer.Load(FilePath::fromEscapedText(dir.filePath(name)));
        pixels += double(buffer.dib_width()) * buffer.dib_height();
        if (write)
            WriteDIBToJPEG(buffer, FilePath::fromEscapedText(dir.filePath(name.chopped(4) + QStringLiteral(".jpg"))), messages,
                           &encoder);
    }
    m.seconds = clock.seconds();
    m.cpuSeconds = clock.cpuSeconds();
    m.files = int(names.size());
    m.megapixels = pixels / 1e6;
    if (!messages.messages.empty())
        m.unavailable = QStringLiteral("showed \"%1\"").arg(messages.messages.front().text);
    return m;
}

} // namespace grelm::bench
