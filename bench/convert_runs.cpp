#include "bench/convert_runs.h"

#include "bench/folder_scan.h"
#include "bench/headless_view.h"

#include "core/messages.h"
#include "convert/convert_session.h"
#include "imaging/dib_section.h"
#include "convert/convert_command.h"

#include <cstdio>

namespace grelm::bench {

QString convertOutcome(const QString &folder, bool thumbnails, int bitmaps, const RecordingMessageSink &messages)
{
    if (!messages.messages.empty())
        return QStringLiteral("Convert showed \"%1\"").arg(messages.messages.front().text);
    const int jpegs = countFilesMatching(folder, "", ".jpg");
    const int thumbs = countFilesMatching(folder + QStringLiteral("/Thumbs"), "th_", ".jpg");
    if (jpegs != bitmaps || (thumbnails && thumbs != bitmaps))
        return QStringLiteral("Convert wrote %1 JPEGs and %2 thumbnails for %3 screenshots").arg(jpegs).arg(thumbs).arg(bitmaps);
    return {};
}

Measurement runConvert(const QString &folder, const ConvertSetup &setup)
{
    const int bitmaps = countFilesMatching(folder, "", ".bmp");
    const double megapixels = bitmapMegapixels(folder);
    HeadlessConvertView view(FilePath::fromEscapedText(folder), bitmaps, setup.thumbnails, setup.deleteSources);
    RecordingMessageSink messages;
    cDIBSection buffer(messages);
    ConvertThreading threading = ConvertThreading::fromEnvironment();
    if (setup.workers > 0)
        threading.workers = setup.workers;
    threading.sequential = setup.sequential;
    ConvertSession session(view, messages, buffer, threading);

    Measurement m;
    const Stopwatch clock;
    const double windowCpuStart = threadCpuSeconds();
    view.start();
    runConvertCommand(session);
    view.finish();
    m.seconds = clock.seconds();
    m.cpuSeconds = clock.cpuSeconds();
    m.windowCpuSeconds = threadCpuSeconds() - windowCpuStart;
    m.files = bitmaps;
    m.megapixels = megapixels;
    m.longestGapMs = view.longestGapMs();
    // For whoever runs a child by hand: where the window waited longest.
    std::fprintf(stderr, "longest gap %.1f ms %s; %d turns in all\n", m.longestGapMs,
                 view.longestGapPlace().toLocal8Bit().constData(), view.eventTurns());
    m.unavailable = convertOutcome(folder, setup.thumbnails, bitmaps, messages);
    const int left = countFilesMatching(folder, "", ".bmp");
    if (m.unavailable.isEmpty() && setup.deleteSources && left != 0)
        m.unavailable = QStringLiteral("Convert kept %1 of %2 screenshots").arg(left).arg(bitmaps);
    return m;
}

} // namespace grelm::bench
