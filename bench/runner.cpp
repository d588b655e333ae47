#include "bench/runner.h"

#include "bench/buffer_runs.h"
#include "bench/convert_runs.h"
#include "bench/folder_scan.h"
#include "bench/limit_runs.h"
#include "bench/window_runs.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace grelm::bench {

namespace {

// Copy `k` of a corpus file keeps its name in the first copy, and is named
// after its copy number before it in the others, so that the listing runs
// through the whole corpus once per copy.
std::string copyName(const std::filesystem::path &file, int k)
{
    const std::string name = file.filename().string();
    if (k == 0)
        return name;
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "c%02d_", k);
    return prefix + name;
}

} // namespace

RunFolders::RunFolders(const QString &corpus, const QString &base, int copies) : m_base(base)
{
    namespace fs = std::filesystem;
    const fs::path sources(QFile::encodeName(QDir(base).filePath(QStringLiteral("sources"))).toStdString());
    fs::remove_all(sources);
    fs::create_directories(sources);
    for (const fs::directory_entry &e : fs::directory_iterator(QFile::encodeName(corpus).toStdString())) {
        for (int k = 0; k < copies; ++k)
            fs::copy_file(e.path(), sources / copyName(e.path(), k));
    }
    m_sources = QString::fromStdString(sources.string());
}

QString RunFolders::fresh(const QString &name)
{
    namespace fs = std::filesystem;
    const QString folder = QDir(m_base).filePath(QStringLiteral("%1-%2").arg(name).arg(++m_made));
    const fs::path to(QFile::encodeName(folder).toStdString());
    fs::remove_all(to);
    fs::create_directories(to);
    for (const fs::directory_entry &e : fs::directory_iterator(QFile::encodeName(m_sources).toStdString())) {
        std::error_code error;
        fs::create_hard_link(e.path(), to / e.path().filename(), error);
        if (error) // a file system without hard links
            fs::copy_file(e.path(), to / e.path().filename());
    }
    ::sync(); // nothing of the folder is still being written back while the clock runs
    return folder;
}

namespace {

// The platform a row's child runs on: the X server's display for the window
// rows that ask for it, offscreen for every other row.
void choosePlatform(const Row &row, const Options &options, QProcessEnvironment &env)
{
    if (!row.mode.startsWith(QLatin1String("window-x"))) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return;
    }
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), options.xDisplay);
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
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
    const std::vector<Row> windowRows = {{"window", QStringLiteral("Window (offscreen), thumbnails off"), {}},
                                         {"window-thumbs", QStringLiteral("Window (offscreen), thumbnails on"), {}},
                                         {"window-x", QStringLiteral("Window (Xvfb), thumbnails off"), {}},
                                         {"window-x-thumbs", QStringLiteral("Window (Xvfb), thumbnails on"), {}}};
    if (options.windowOnly) {
        std::vector<Row> rows = {{"limit-n", "In-process limit, " + n + " threads", {}},
                                 {"convert", QStringLiteral("Convert, thumbnails off"), {}}};
        rows.insert(rows.end(), windowRows.begin(), windowRows.end());
        return rows;
    }
    if (options.coldCache) {
        return {{"limit-n", "In-process limit, " + n + " threads", {}},
                {"limit-n-cold", "In-process limit, " + n + " threads, cold cache", {}},
                {"convert", QStringLiteral("Convert, thumbnails off"), {}},
                {"convert-cold", QStringLiteral("Convert, thumbnails off, cold cache"), {}}};
    }
    if (options.memoryCheck) {
        return {{"limit-n", "In-process limit, " + n + " threads", {}},
                {"convert", "Convert, thumbnails off", {}},
                {"convert-thumbs", "Convert, thumbnails on", {}},
                {"convert-thumbs-delete", "Convert, thumbnails and deletion", {}}};
    }
    std::vector<Row> rows = {{"limit-1", QStringLiteral("In-process limit, 1 thread"), {}},
                             {"limit-n", "In-process limit, " + n + " threads", {}},
                             {"encode-1", QStringLiteral("Encode only, 1 thread"), {}},
                             {"encode-n", "Encode only, " + n + " threads", {}},
                             {"buffer-load", QStringLiteral("Pixel buffer Load only, 1 thread"), {}},
                             {"buffer-write", QStringLiteral("Load + WriteDIBToJPEG, 1 thread"), {}},
                             {"convert", QStringLiteral("Convert, thumbnails off"), {}},
                             {"convert-thumbs", QStringLiteral("Convert, thumbnails on"), {}},
                             {"convert-1worker", QStringLiteral("Convert, thumbnails off, 1 worker"), {}},
                             {"convert-sequential", QStringLiteral("Convert, thumbnails off, sequential"), {}}};
    rows.insert(rows.end(), windowRows.begin(), windowRows.end());
    return rows;
}

Measurement runOneMode(const Options &options, int threads)
{
    QString mode = options.one;
    if (mode.endsWith(QLatin1String("-cold"))) {
        // As after the game wrote them and other programs took the memory.
        dropFromPageCache(filesMatching(options.folder, "", ".bmp"));
        mode.chop(5);
    }
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
    else if (mode == QLatin1String("convert-thumbs-delete"))
        m = runConvert(options.folder, {true, options.workers, false, true});
    else if (mode == QLatin1String("convert-1worker"))
        m = runConvert(options.folder, {false, 1, false});
    else if (mode == QLatin1String("convert-sequential"))
        m = runConvert(options.folder, {false, 0, true});
    else if (mode == QLatin1String("window") || mode == QLatin1String("window-x"))
        m = runWindowConvert(options.folder, false);
    else if (mode == QLatin1String("window-thumbs") || mode == QLatin1String("window-x-thumbs"))
        m = runWindowConvert(options.folder, true);
    else
        throw std::runtime_error("unknown mode " + mode.toStdString());
    m.peakKiB = peakResidentKiB();
    return m;
}

Measurement measureInChild(const Row &row, RunFolders &folders, const Options &options, int threads)
{
    if (row.mode.startsWith(QLatin1String("window-x")) && options.xDisplay.isEmpty()) {
        Measurement skipped;
        skipped.unavailable = QStringLiteral("no X server");
        return skipped;
    }
    const QString workFolder = folders.fresh(row.mode);
    QStringList args{"--one", row.mode, "--dir", workFolder, "--threads", QString::number(threads)};
    if (options.workers > 0)
        args << "--workers" << QString::number(options.workers);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    choosePlatform(row, options, env);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), args);
    child.waitForFinished(-1);
    const std::optional<Measurement> m = parseResultOutput(QString::fromLocal8Bit(child.readAllStandardOutput()));
    if (m)
        return *m;
    Measurement failed;
    failed.unavailable = QStringLiteral("child failed: ") + tail(child.readAllStandardError());
    return failed;
}

} // namespace grelm::bench
