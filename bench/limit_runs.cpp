#include "bench/limit_runs.h"

#include "bench/bitmap_encoder.h"
#include "bench/folder_scan.h"

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace grelm::bench {

namespace {

std::vector<std::string> bitmapPaths(const QString &folder) { return filesMatching(folder, "", ".bmp"); }

std::string jpegPathFor(const std::string &bitmapPath)
{
    return bitmapPath.substr(0, bitmapPath.size() - 4) + ".jpg";
}

// Runs `work(encoder, index)` for every index below `count`, spread over
// `threads` threads that each own one encoder; returns the megapixels done.
template <typename Work>
double runSpread(int threads, std::size_t count, Work work)
{
    std::atomic<std::size_t> next{0};
    std::atomic<long long> pixels{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([&] {
            BitmapEncoder encoder;
            long long mine = 0;
            for (std::size_t i; (i = next.fetch_add(1)) < count;)
                mine += work(encoder, i);
            pixels += mine;
        });
    }
    for (std::thread &t : pool)
        t.join();
    return double(pixels.load()) / 1e6;
}

} // namespace

Measurement runInProcessLimit(const QString &folder, int threads)
{
    Measurement m;
    const Stopwatch clock;
    const std::vector<std::string> paths = bitmapPaths(folder);
    m.megapixels = runSpread(threads, paths.size(), [&](BitmapEncoder &encoder, std::size_t i) {
        const BitmapView view = encoder.readBitmap(paths[i]);
        encoder.encode(view);
        encoder.writeJpeg(jpegPathFor(paths[i]));
        return (long long)view.width * view.height;
    });
    m.seconds = clock.seconds();
    m.cpuSeconds = clock.cpuSeconds();
    m.files = int(paths.size());
    return m;
}

Measurement runEncodeOnly(const QString &folder, int threads)
{
    std::vector<std::vector<std::uint8_t>> files;
    for (const std::string &path : bitmapPaths(folder))
        files.push_back(readWholeFile(path));
    Measurement m;
    const Stopwatch clock;
    m.megapixels = runSpread(threads, files.size(), [&](BitmapEncoder &encoder, std::size_t i) {
        const BitmapView view = parseBitmap(files[i].data(), files[i].size());
        encoder.encode(view);
        return (long long)view.width * view.height;
    });
    m.seconds = clock.seconds();
    m.cpuSeconds = clock.cpuSeconds();
    m.files = int(files.size());
    return m;
}

} // namespace grelm::bench
