#pragma once

#include "bench/corpus.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

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
    bool coldCache = false;   ///< --cold: the limit and Convert, also with the bitmaps dropped from memory first
    QString xDisplay;      ///< the X display of the window rows on the X platform; empty: none
    bool huge = false;     ///< --huge: peak memory of tiny bitmaps that claim a huge size
    QString one;           ///< child mode: run one measurement and print its result
    QString folder;        ///< child mode: the folder to run in
};

/// Parses the arguments after the program name; throws std::runtime_error on a bad one.
Options parseOptions(const QStringList &args);

/// The folder a parent run works in: --keep's, else a new temporary one that
/// `temporary` removes when it goes.
QString workBase(const Options &options, std::unique_ptr<QTemporaryDir> &temporary);

/// The usage text printed for --help and bad arguments.
QString usageText();

} // namespace grelm::bench
