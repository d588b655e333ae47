#pragma once

#include "bench/corpus.h"

#include <QString>
#include <QStringList>

namespace grelm::bench {

/// The command line of the benchmark.
struct Options {
    CorpusPlan plan;
    int threads = 0;       ///< threads of the all-cores rows; 0: one per core
    int workers = 0;       ///< workers the Convert rows ask for; 0: the command's own choice
    int copies = 1;        ///< the measured folders hold the corpus this many times over
    int repeat = 5;        ///< runs of each row; the table shows the median time
    QString keep;          ///< keep the corpus and every measured folder here
    bool memoryCheck = false; ///< --count: only the Convert rows, for peak memory
    bool windowOnly = false;  ///< --window: only the limit and the rows through the window
    QString xDisplay;      ///< the X display of the window rows on the X platform; empty: none
    QString one;           ///< child mode: run one measurement and print its result
    QString folder;        ///< child mode: the folder to run in
};

/// Parses the arguments after the program name; throws std::runtime_error on a bad one.
Options parseOptions(const QStringList &args);

/// The usage text printed for --help and bad arguments.
QString usageText();

} // namespace grelm::bench
