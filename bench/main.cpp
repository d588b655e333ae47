// Times the Convert command against the machine's limits over a generated
// corpus of screenshots; see the README's Benchmark section.
#include "bench/corpus.h"
#include "bench/huge_picture_runs.h"
#include "bench/options.h"
#include "bench/report.h"
#include "bench/runner.h"
#include "bench/virtual_display.h"

#include <QApplication>

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <exception>
#include <memory>
#include <thread>

using namespace grelm::bench;

namespace {

void print(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

// Child side: one measurement, printed as a result line.
int runChild(int argc, char **argv, const Options &options, int threads)
{
    std::unique_ptr<QCoreApplication> app;
    if (options.one.startsWith(QLatin1String("window"))) {
        app = std::make_unique<QApplication>(argc, argv); // on the platform the parent chose
    } else if (options.one.startsWith(QLatin1String("convert"))) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    print(resultLine(runOneMode(options, threads)) + QLatin1Char('\n'));
    return 0;
}

QString corpusDescription(const CorpusPlan &plan)
{
    const QString size = plan.mixed ? QStringLiteral("mixed sizes 640x480 to 1920x1080")
                                     : QStringLiteral("%1x%2").arg(plan.width).arg(plan.height);
    return QStringLiteral("%1 screenshots, %2, %3 MP in all").arg(plan.count).arg(size).arg(corpusMegapixels(plan), 0, 'f', 1);
}

// Starts an X server for the rows through the window on the X platform, or
// says why those rows are skipped.
std::unique_ptr<VirtualDisplay> startXServer(Options &options)
{
    if (options.memoryCheck || options.coldCache)
        return nullptr;
    auto display = std::make_unique<VirtualDisplay>();
    options.xDisplay = display->name();
    if (options.xDisplay.isEmpty())
        print(QStringLiteral("The rows under Xvfb are skipped: %1\n").arg(display->unavailable()));
    return display;
}

int runParent(Options options, int threads)
{
    std::unique_ptr<QTemporaryDir> temporary;
    const QString base = workBase(options, temporary);
    const QString corpus = QDir(base).filePath(QStringLiteral("corpus"));
    print(QStringLiteral("Generating %1 ...\n").arg(corpusDescription(options.plan)));
    writeCorpus(corpus, options.plan);
    const std::unique_ptr<VirtualDisplay> xServer = startXServer(options);

    RunFolders folders(corpus, base, options.copies);
    std::vector<Row> rows = plannedRows(options, threads);
    for (int r = 0; r < options.repeat; ++r) {
        for (Row &row : rows) {
            print(QStringLiteral("  run %1/%2: %3\n").arg(r + 1).arg(options.repeat).arg(row.label));
            row.runs.push_back(measureInChild(row, folders, options, threads));
        }
    }
    const QString copies = options.copies > 1 ? QStringLiteral(", %1 times over").arg(options.copies) : QString();
    print(QStringLiteral("\n%1%2; %3 cores; median of %4 runs\n\n")
              .arg(corpusDescription(options.plan), copies).arg(std::thread::hardware_concurrency()).arg(options.repeat));
    print(formatTable(rows, QStringLiteral("limit-n")));
    print(QStringLiteral("\nTargets:\n") + formatTargets(rows, options.memoryCheck));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.contains(QLatin1String("--help"))) {
        print(usageText());
        return 0;
    }
    try {
        const Options options = parseOptions(args);
        const int threads = options.threads > 0 ? options.threads : int(std::max(1u, std::thread::hardware_concurrency()));
        if (!options.one.isEmpty())
            return runChild(argc, argv, options, threads);
        QCoreApplication app(argc, argv);
        if (options.huge)
            return runHugePictureCheck(options, threads);
        return runParent(options, threads);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "grelm-bench: %s\n%s", e.what(), usageText().toLocal8Bit().constData());
        return 2;
    }
}
