#include "bench/huge_picture_runs.h"

#include "bench/report.h"
#include "bench/runner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace grelm::bench {

namespace {

constexpr int kFiles = 8;
constexpr int kSide = 16384;
constexpr long kTargetKiB = 1024 * 1024;
const int kWorkerCounts[] = {1, 2, 4, 8};

void putLe(QByteArray &out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

// The pixel array: the bottom `bands` rows in runs of up to 255 pixels of
// palette entry 1 + row % 3, then the end-of-bitmap mark.
QByteArray rleBands(int side, int bands)
{
    QByteArray data;
    for (int y = 0; y < bands; ++y) {
        for (int left = side; left > 0; left -= 255)
            data.append(char(std::min(left, 255))).append(char(1 + y % 3));
        data.append('\0').append('\0'); // end of line
    }
    return data.append('\0').append('\1');
}

QByteArray rleBitmap(int side)
{
    const QByteArray pixels = rleBands(side, 64);
    const std::uint32_t offset = 14 + 40 + 4 * 4;
    QByteArray file("BM");
    putLe(file, offset + std::uint32_t(pixels.size()), 4);
    putLe(file, 0, 4);
    putLe(file, offset, 4);
    for (const std::uint32_t v : {40u, std::uint32_t(side), std::uint32_t(side)})
        putLe(file, v, 4);
    putLe(file, 1, 2);  // planes
    putLe(file, 8, 2);  // bits per pixel
    for (const std::uint32_t v : {1u, std::uint32_t(pixels.size()), 2835u, 2835u, 4u, 0u}) // RLE8, 4 colours
        putLe(file, v, 4);
    for (const std::uint32_t bgr : {0x000000u, 0x3050c0u, 0x40a040u, 0xc08030u})
        putLe(file, bgr, 4);
    return file + pixels;
}

void print(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

QString targets(const std::vector<Row> &rows)
{
    QString out;
    for (const Row &row : rows) {
        const Summary s = summarize(row);
        const QString figure = s.available && s.peakKiB >= 0
                                   ? QStringLiteral("%1 MiB (%2)").arg(s.peakKiB / 1024.0, 0, 'f', 1)
                                         .arg(s.peakKiB <= kTargetKiB ? "holds" : "MISSED")
                                   : QStringLiteral("n/a");
        out += QStringLiteral("- Peak memory <= 1024 MiB, %1: %2\n").arg(row.label, figure);
    }
    return out;
}

} // namespace

void writeHugeRleCorpus(const QString &folder, int count, int side)
{
    QDir().mkpath(folder);
    const QByteArray bytes = rleBitmap(side);
    for (int i = 0; i < count; ++i) {
        QFile f(QDir(folder).filePath(QStringLiteral("huge%1.bmp").arg(i)));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write the RLE corpus");
    }
}

int runHugePictureCheck(const Options &options, int threads)
{
    std::unique_ptr<QTemporaryDir> temporary;
    const QString base = workBase(options, temporary);
    const QString corpus = QDir(base).filePath(QStringLiteral("corpus"));
    print(QStringLiteral("Generating %1 RLE8 bitmaps that claim %2x%2 ...\n").arg(kFiles).arg(kSide));
    writeHugeRleCorpus(corpus, kFiles, kSide);
    RunFolders folders(corpus, base, 1);
    std::vector<Row> rows;
    for (const int workers : kWorkerCounts)
        rows.push_back({QStringLiteral("convert"), QStringLiteral("Convert, thumbnails off, %1 worker%2").arg(workers).arg(workers == 1 ? "" : "s"), {}});
    for (int r = 0; r < options.repeat; ++r) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            print(QStringLiteral("  run %1/%2: %3\n").arg(r + 1).arg(options.repeat).arg(rows[i].label));
            Options one = options;
            one.workers = kWorkerCounts[i];
            rows[i].runs.push_back(measureInChild(rows[i], folders, one, threads));
        }
    }
    print(QStringLiteral("\n%1 RLE8 bitmaps claiming %2x%2; median of %3 runs\n\n").arg(kFiles).arg(kSide).arg(options.repeat));
    print(formatTable(rows, QStringLiteral("limit-n")));
    print(QStringLiteral("\nTargets:\n") + targets(rows));
    return 0;
}

} // namespace grelm::bench
