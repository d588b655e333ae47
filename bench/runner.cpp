#include "bench/runner.h"

#include "bench/buffer_runs.h"
#include "bench/convert_runs.h"
#include "bench/limit_runs.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace grelm::bench {

namespace {

void freshCopy(const QString &corpus, const QString &target)
{
    namespace fs = std::filesystem;
    const fs::path to(QFile::encodeName(target).toStdString());
    fs::remove_all(to);
    fs::create_directories(to);
    for (const fs::directory_entry &e : fs::directory_iterator(QFile::encodeName(corpus).toStdString()))
        fs::copy_file(e.path(), to / e.path().filename());
    ::sync(); // nothing of the copy is still being written back while the clock runs
}

QString tail(const QByteArray &text)
{
    const QString s = QString::fromLocal8Bit(text).trimmed();
    return s.size() > 300 ? s.right(300) : s;
}

} // namespace

std::vector<Row> plannedRows(const Options &options, int threads)
{
    const QString n = QString::number(threads);
    if (options.memoryCheck) {
        return {{"limit-n", "In-process limit, " + n + " threads", {}},
                {"convert", "Convert, thumbnails off", {}},
                {"convert-thumbs", "Convert, thumbnails on", {}}};
    }
    return {{"limit-1", QStringLiteral("In-process limit, 1 thread"), {}},
            {"limit-n", "In-process limit, " + n + " threads", {}},
            {"encode-1", QStringLiteral("Encode only, 1 thread"), {}},
            {"encode-n", "Encode only, " + n + " threads", {}},
            {"buffer-load", QStringLiteral("Pixel buffer Load only, 1 thread"), {}},
            {"buffer-write", QStringLiteral("Load + WriteDIBToJPEG, 1 thread"), {}},
            {"convert", QStringLiteral("Convert, thumbnails off"), {}},
            {"convert-thumbs", QStringLiteral("Convert, thumbnails on"), {}},
            {"convert-1worker", QStringLiteral("Convert, thumbnails off, 1 worker"), {}},
            {"convert-sequential", QStringLiteral("Convert, thumbnails off, sequential"), {}}};
}

Measurement runOneMode(const Options &options, int threads)
{
    const QString &mode = options.one;
    Measurement m;
    if (mode == QLatin1String("limit-1"))
        m = runInProcessLimit(options.folder, 1);
    else if (mode == QLatin1String("limit-n"))
        m = runInProcessLimit(options.folder, threads);
    else if (mode == QLatin1String("encode-1"))
        m = runEncodeOnly(options.folder, 1);
    else if (mode == QLatin1String("encode-n"))
        m = runEncodeOnly(options.folder, threads);
    else if (mode == QLatin1String("buffer-load"))
        m = runBufferPath(options.folder, false);
    else if (mode == QLatin1String("buffer-write"))
        m = runBufferPath(options.folder, true);
    else if (mode == QLatin1String("convert"))
        m = runConvert(options.folder, {false, options.workers, false});
    else if (mode == QLatin1String("convert-thumbs"))
        m = runConvert(options.folder, {true, options.workers, false});
    else if (mode == QLatin1String("convert-1worker"))
        m = runConvert(options.folder, {false, 1, false});
    else if (mode == QLatin1String("convert-sequential"))
        m = runConvert(options.folder, {false, 0, true});
    else
        throw std::runtime_error("unknown mode " + mode.toStdString());
    m.peakKiB = peakResidentKiB();
    return m;
}

Measurement measureInChild(const Row &row, const QString &corpus, const QString &workFolder,
                           const Options &options, int threads)
{
    freshCopy(corpus, workFolder);
    QStringList args{"--one", row.mode, "--dir", workFolder, "--threads", QString::number(threads)};
    if (options.workers > 0)
        args << "--workers" << QString::number(options.workers);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), args);
    child.waitForFinished(-1);
    const std::optional<Measurement> m = parseResultOutput(QString::fromLocal8Bit(child.readAllStandardOutput()));
    if (options.keep.isEmpty())
        QDir(workFolder).removeRecursively();
    if (m)
        return *m;
    Measurement failed;
    failed.unavailable = QStringLiteral("child failed: ") + tail(child.readAllStandardError());
    return failed;
}

} // namespace grelm::bench
