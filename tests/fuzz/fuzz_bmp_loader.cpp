// Feeds arbitrary bytes to the bitmap reader, from memory and from a file.
// Beyond what the sanitizers catch it checks that a picture it accepts fills
// its buffer completely (the same file gives the same bytes whatever the
// buffer held before) and that reading the file gives what decoding the
// bytes gives.

#include "imaging/bmp_header.h"
#include "imaging/bmp_reader.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

using Pixels = std::vector<std::uint8_t>;

[[noreturn]] void fail(const char *what)
{
    fprintf(stderr, "fuzz_bmp_loader: %s\n", what);
    std::abort();
}

std::size_t pictureBytes(const grelm::BmpResult &r)
{
    const std::size_t stride = (std::size_t(r.width) * 3 + 3) & ~std::size_t(3);
    return stride * std::size_t(r.height);
}

bool samePicture(const grelm::BmpResult &a, const Pixels &pa, const grelm::BmpResult &b, const Pixels &pb)
{
    if (bool(a) != bool(b))
        return false;
    if (!a)
        return true;
    return a.width == b.width && a.height == b.height
        && std::memcmp(pa.data(), pb.data(), pictureBytes(a)) == 0;
}

void checkAccepted(const grelm::BmpResult &r, const Pixels &pixels)
{
    if (r.width <= 0 || r.height <= 0)
        fail("accepted a picture without pixels");
    if (pixels.size() < pictureBytes(r))
        fail("buffer smaller than the picture");
}

// A few bytes of run-length data can describe a picture of the full allowed
// size, which takes a second to fill; such files only have their headers read,
// so the fuzzer's time goes to inputs that reach new code. The same code paths
// run for small pictures.
bool tooLargeToDecode(std::span<const std::uint8_t> file)
{
    grelm::BmpHeader h;
    if (grelm::parseBmpHeader(file.first(std::min(file.size(), grelm::kBmpHeaderReadBytes)), file.size(), h))
        return false;
    return std::uint64_t(h.width) * std::uint64_t(h.height) > (1u << 20);
}

// Rewriting a file on a disk file system can wait for the disk each time;
// memory-backed /dev/shm keeps the file read cheap.
QString scratchFile()
{
    static const QString folder = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static const QString path = folder + QStringLiteral("/fuzz_bmp_loader.%1.bmp").arg(getpid());
    static const int removeAtExit = std::atexit([] { QFile::remove(path); });
    (void)removeAtExit;
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::span<const std::uint8_t> file(data, size);
    if (tooLargeToDecode(file))
        return 0;
    // Two buffers that start with different contents must end with the same picture.
    Pixels zeros(4096, 0x00);
    Pixels ones(4096, 0xFF);
    const grelm::BmpResult a = grelm::BmpReader::decode(file, zeros);
    const grelm::BmpResult b = grelm::BmpReader::decode(file, ones);
    if (a)
        checkAccepted(a, zeros);
    if (!samePicture(a, zeros, b, ones))
        fail("decoding depends on what the buffer held before");

    QFile out(scratchFile());
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || out.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        fail("cannot write the scratch file");
    out.close();
    Pixels loaded(4096, 0x5A);
    const grelm::BmpResult c = grelm::BmpReader::load(grelm::FilePath::fromEscapedText(scratchFile()), loaded);
    if (!samePicture(a, zeros, c, loaded))
        fail("reading the file and decoding its bytes disagree");
    return 0;
}
