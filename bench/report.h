#pragma once

#include "bench/runner.h"

#include <QString>

#include <vector>

namespace grelm::bench {

/// One row's runs summed up: the median time, the largest peak and gap.
struct Summary {
    bool available = false;
    QString unavailable;
    int files = 0;
    double megapixels = 0;
    double seconds = 0;
    double cpuSeconds = 0;
    double windowCpuSeconds = -1;
    long peakKiB = -1;
    double longestGapMs = -1;

    double filesPerSecond() const { return seconds > 0 ? files / seconds : 0; }
    double megapixelsPerSecond() const { return seconds > 0 ? megapixels / seconds : 0; }
    double cpuMsPerFile() const { return files > 0 ? cpuSeconds * 1000 / files : 0; }
};

Summary summarize(const Row &row);

/// The table as Markdown: files/s, MP/s, ratio to the row `referenceMode`,
/// CPU time per file (all threads, and the window's thread), peak memory and
/// longest event gap.
QString formatTable(const std::vector<Row> &rows, const QString &referenceMode);

/// Each target with the measured figure and whether it holds; rows that are
/// missing give "n/a".
QString formatTargets(const std::vector<Row> &rows, bool memoryCheck);

} // namespace grelm::bench
