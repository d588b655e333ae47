#pragma once

#include "bench/measurement.h"
#include "bench/options.h"

#include <QString>

#include <vector>

namespace grelm::bench {

/// One row of the table: what it measures and how a child process runs it.
struct Row {
    QString mode;   ///< the child's --one argument
    QString label;  ///< the table's row title
    std::vector<Measurement> runs;
};

/// The rows a run of the benchmark measures, in table order.
std::vector<Row> plannedRows(const Options &options, int threads);

/// Child side: runs one measurement in `options.folder` and returns it.
Measurement runOneMode(const Options &options, int threads);

/// Parent side: copies the corpus into a fresh folder, runs the row's
/// measurement in a child process and returns what it printed.
Measurement measureInChild(const Row &row, const QString &corpus, const QString &workFolder,
                           const Options &options, int threads);

} // namespace grelm::bench
