#include "app/console_watch.h"

#include "app/command_line.h"
#include "app/console_convert.h"
#include "convert/arrival_watch.h"
#include "core/file_names.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"
#include "imaging/bmp_reader.h"

#include <QThread>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace grelm {

namespace {

constexpr unsigned long kPollMs = 250;

// Watching must not slow the game: the lowest CPU priority a user may take
// and the idle I/O class, which reads only when no one else does.
void yieldToTheGame()
{
    ::setpriority(PRIO_PROCESS, 0, 19);
    constexpr int kIdleClass = 3, kClassShift = 13, kWhoProcess = 1;
    ::syscall(SYS_ioprio_set, kWhoProcess, 0, kIdleClass << kClassShift);
}

// A bitmap that declared no size, or another one, counts only once it loads.
bool loads(const QString &path)
{
    std::vector<std::uint8_t> pixels;
    return bool(BmpReader::load(path, pixels));
}

// One look at the folder; returns the screenshots that have just become complete.
QStringList lookAt(const QString &folder, ArrivalWatch &watch)
{
    const QStringList names = FolderListing::all(folder, kScreenshotPattern);
    const auto now = ArrivalWatch::Clock::now();
    for (const QString &name : names) {
        const QString path = joinPath(folder, name);
        if (const std::optional<FileStamp> stamp = fileStamp(path))
            watch.observe(name, *stamp, declaredBitmapSize(path), now);
    }
    watch.keepOnly(names);
    QStringList ready = watch.complete(now);
    ready.removeIf([&](const QString &name) {
        const auto size = declaredBitmapSize(joinPath(folder, name));
        const auto stamp = fileStamp(joinPath(folder, name));
        const bool sized = size && stamp && *size != 0 && *size == std::uint64_t(stamp->size);
        return !sized && !loads(joinPath(folder, name));
    });
    return ready;
}

// What the first Convert left in the folder (with deletion off, every
// screenshot) is not new: only later versions are converted.
void rememberPresent(const QString &folder, ArrivalWatch &watch)
{
    for (const QString &name : FolderListing::all(folder, kScreenshotPattern)) {
        if (const std::optional<FileStamp> stamp = fileStamp(joinPath(folder, name)))
            watch.markReported(name, *stamp);
    }
}

} // namespace

int runConsoleWatch(const CommandLine &line)
{
    ConsoleMessageSink messages;
    const std::optional<QString> folder = consoleGameFolder(line, messages);
    if (!folder)
        return 2;
    yieldToTheGame();
    const ConvertThreading oneWorker{false, 1, 2};
    ConsoleConvertView view(line, *folder);
    convertOnce(view, messages, oneWorker, std::nullopt);
    if (messages.commandEnded)
        return 2;
    ArrivalWatch watch;
    rememberPresent(*folder, watch);
    std::printf("watching %s (Ctrl-C stops)\n", qPrintable(shownName(*folder)));
    std::fflush(stdout);
    while (!g_consoleStopRequested) {
        QThread::msleep(kPollMs);
        const QStringList ready = lookAt(*folder, watch);
        if (!ready.isEmpty() && !g_consoleStopRequested)
            convertOnce(view, messages, oneWorker, QSet<QString>(ready.cbegin(), ready.cend()));
    }
    return 130;
}

} // namespace grelm
