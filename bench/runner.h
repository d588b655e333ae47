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

/// The folders the measured runs work in, under `base`: the corpus, as many
/// times over as asked, is copied once, and each run gets a fresh folder of
/// hard links to those copies. No folder is deleted while runs are measured
/// (the benchmark's own temporary folder goes at its end): on a file system
/// that passes over inodes freed in the last minutes when it makes a file
/// (ext4 without a journal, as on the development machine), deleting the last
/// run's thousands of files would slow down every file the next run writes,
/// which is not what a user meets in the game's folder.
class RunFolders {
public:
    RunFolders(const QString &corpus, const QString &base, int copies);
    /// A new folder holding the copies, named after `name`.
    QString fresh(const QString &name);

private:
    QString m_base;
    QString m_sources;
    int m_made = 0;
};

/// Parent side: runs the row's measurement in a child process, in a fresh
/// folder of `folders`, and returns what it printed.
Measurement measureInChild(const Row &row, RunFolders &folders, const Options &options, int threads);

} // namespace grelm::bench
