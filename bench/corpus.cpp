#include "bench/corpus.h"

#include "bench/screenshot_painter.h"
#include "core/pixel_rows.h"

#include <QDir>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

namespace grelm::bench {

namespace {

struct ScreenMode {
    int width;
    int height;
};

// Screen modes a game of the era offers, smallest to largest.
constexpr ScreenMode kMixedModes[] = {
    {640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 720},
    {1280, 1024}, {1600, 900}, {1680, 1050}, {1920, 1080},
};

int rowStride(int width) { return int(paddedRowBytes(std::int64_t(width) * 3)); }

void putLe(std::uint8_t *at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// BITMAPFILEHEADER (14 bytes) and BITMAPINFOHEADER (40 bytes) of an
// uncompressed 24-bit bottom-up bitmap.
void fillHeader(std::uint8_t *h, int width, int height)
{
    const std::uint32_t imageSize = static_cast<std::uint32_t>(rowStride(width)) * height;
    h[0] = 'B';
    h[1] = 'M';
    putLe(h + 2, 54 + imageSize, 4);
    putLe(h + 6, 0, 4);
    putLe(h + 10, 54, 4);
    putLe(h + 14, 40, 4);
    putLe(h + 18, static_cast<std::uint32_t>(width), 4);
    putLe(h + 22, static_cast<std::uint32_t>(height), 4);
    putLe(h + 26, 1, 2);
    putLe(h + 28, 24, 2);
    putLe(h + 30, 0, 4);
    putLe(h + 34, imageSize, 4);
    putLe(h + 38, 2835, 4);
    putLe(h + 42, 2835, 4);
    putLe(h + 46, 0, 4);
    putLe(h + 50, 0, 4);
}

void writeBitmap(const QString &path, int width, int height, std::uint64_t seed,
                 std::vector<std::uint8_t> &bytes)
{
    const int stride = rowStride(width);
    bytes.assign(54 + static_cast<std::size_t>(stride) * height, 0);
    fillHeader(bytes.data(), width, height);
    paintScreenshot(width, height, seed, bytes.data() + 54, stride);

    const std::string name = QFile::encodeName(path).toStdString();
    std::unique_ptr<FILE, int (*)(FILE *)> file(std::fopen(name.c_str(), "wb"), &std::fclose);
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        throw std::runtime_error("cannot write " + name);
}

std::uint64_t fileSeed(std::uint64_t seed, int index)
{
    return seed ^ (0x9e3779b97f4a7c15ULL * static_cast<std::uint64_t>(index + 1));
}

} // namespace

std::vector<CorpusFile> corpusFiles(const CorpusPlan &plan)
{
    std::vector<CorpusFile> files;
    const int modes = static_cast<int>(std::size(kMixedModes));
    for (int i = 0; i < plan.count; ++i) {
        CorpusFile f;
        f.name = QStringLiteral("shot%1.bmp").arg(i, 4, 10, QLatin1Char('0'));
        f.width = plan.mixed ? kMixedModes[i % modes].width : plan.width;
        f.height = plan.mixed ? kMixedModes[i % modes].height : plan.height;
        files.push_back(f);
    }
    return files;
}

void writeCorpus(const QString &folder, const CorpusPlan &plan)
{
    if (!QDir().mkpath(folder))
        throw std::runtime_error("cannot make " + folder.toStdString());
    std::vector<std::uint8_t> bytes;
    const std::vector<CorpusFile> files = corpusFiles(plan);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const CorpusFile &f = files[i];
        writeBitmap(QDir(folder).filePath(f.name), f.width, f.height,
                    fileSeed(plan.seed, static_cast<int>(i)), bytes);
    }
}

double corpusMegapixels(const CorpusPlan &plan)
{
    double pixels = 0;
    for (const CorpusFile &f : corpusFiles(plan))
        pixels += double(f.width) * f.height;
    return pixels / 1e6;
}

} // namespace grelm::bench
