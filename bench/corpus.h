#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace grelm::bench {

/// One screenshot of the corpus: its file name and size.
struct CorpusFile {
    QString name;
    int width = 0;
    int height = 0;
};

/// What to generate: `count` files of one size, or of sizes cycling through
/// the common screen modes from 640 x 480 to 1920 x 1080 when `mixed`.
struct CorpusPlan {
    int count = 40;
    int width = 1024;
    int height = 768;
    bool mixed = false;
    std::uint64_t seed = 0x6772656c6dULL;
};

/// The files the plan makes, in listing order.
std::vector<CorpusFile> corpusFiles(const CorpusPlan &plan);

/// Writes the corpus into `folder` as 24-bit bottom-up Windows bitmaps with a
/// 54-byte header; throws std::runtime_error when a file cannot be written.
void writeCorpus(const QString &folder, const CorpusPlan &plan);

/// Total pixels of the files the plan makes.
double corpusMegapixels(const CorpusPlan &plan);

} // namespace grelm::bench
