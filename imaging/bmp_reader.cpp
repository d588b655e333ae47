#include "imaging/bmp_reader.h"

#include "core/file_ends.h"
#include "imaging/bmp_decode.h"
#include "imaging/bmp_header.h"

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace grelm::BmpReader {

namespace {

BmpResult refuse(const char *why)
{
    BmpResult r;
    r.error = why;
    return r;
}

BmpResult sized(const BmpHeader &h)
{
    BmpResult r;
    r.width = h.width;
    r.height = h.height;
    return r;
}

std::uint8_t *prepare(const BmpHeader &h, std::vector<std::uint8_t> &pixels)
{
    const std::size_t bytes = std::size_t(h.bufferRowBytes()) * std::size_t(h.height);
    if (pixels.size() < bytes)
        pixels.resize(bytes);
    return pixels.data();
}

// How many bytes of a run-length pixel array are worth reading: two bytes per
// pixel (a run of one, or an absolute run) plus an end-of-line per row covers
// every sensible encoder; a longer stream is cut there, which bounds the read.
std::uint64_t rleReadLimit(const BmpHeader &h)
{
    return 2 * std::uint64_t(h.width) * std::uint64_t(h.height) + 4 * std::uint64_t(h.height) + 4096;
}

// The bytes of the pixel array a decoder needs; the file may hold more.
std::uint64_t pixelBytesWanted(const BmpHeader &h, std::uint64_t available)
{
    if (h.encoding == BmpEncoding::Rle8 || h.encoding == BmpEncoding::Rle4)
        return std::min(available, rleReadLimit(h));
    return h.fileRowBytes() * std::uint64_t(h.height);
}

// Turns the rows of a top-down 24-bit file, read as they are, bottom-up.
void flipRows(std::uint8_t *pixels, std::size_t stride, std::int32_t height)
{
    std::vector<std::uint8_t> spare(stride);
    for (std::int32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        std::uint8_t *a = pixels + std::size_t(top) * stride;
        std::uint8_t *b = pixels + std::size_t(bottom) * stride;
        std::memcpy(spare.data(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, spare.data(), stride);
    }
}

void zeroPadding(const BmpHeader &h, std::uint8_t *pixels)
{
    const std::size_t stride = std::size_t(h.bufferRowBytes());
    const std::size_t used = 3 * std::size_t(h.width);
    if (stride == used)
        return;
    for (std::int32_t y = 0; y < h.height; ++y)
        std::memset(pixels + std::size_t(y) * stride + used, 0, stride - used);
}

bool readExactly(QFile &file, std::uint64_t offset, std::uint8_t *to, std::uint64_t bytes)
{
    return file.seek(qint64(offset)) && file.read(reinterpret_cast<char *>(to), qint64(bytes)) == qint64(bytes);
}

// The rows of a 24-bit uncompressed file are already laid out as the buffer
// wants them: one read puts them in place.
BmpResult loadDirect(QFile &file, const BmpHeader &h, std::vector<std::uint8_t> &pixels)
{
    std::uint8_t *dst = prepare(h, pixels);
    if (!readExactly(file, h.pixelOffset, dst, h.fileRowBytes() * std::uint64_t(h.height)))
        return refuse("cannot read the pixel array");
    if (h.topDown)
        flipRows(dst, std::size_t(h.bufferRowBytes()), h.height);
    zeroPadding(h, dst);
    return sized(h);
}

BmpResult notExpected()
{
    BmpResult r = refuse("not the file expected");
    r.notExpected = true;
    return r;
}

// Whether the open file holds exactly the bytes `expected` names, read in
// pieces so that a large file takes no memory of its own.
bool holdsExpectedBytes(QFile &file, std::uint64_t fileSize, const ContentIdentity &expected)
{
    if (!expected.known() || fileSize != std::uint64_t(expected.size) || !file.seek(0))
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<char> piece(64 * 1024);
    std::uint64_t left = fileSize;
    while (left > 0) {
        const qint64 n = file.read(piece.data(), qint64(std::min<std::uint64_t>(left, piece.size())));
        if (n <= 0)
            return false;
        hash.addData(QByteArrayView(piece.data(), n));
        left -= std::uint64_t(n);
    }
    return hash.result() == expected.sha256;
}

BmpResult loadOpened(QFile &file, std::uint64_t fileSize, std::vector<std::uint8_t> &pixels,
                     const BeforeAllocate &beforeAllocate)
{
    std::vector<std::uint8_t> head(std::size_t(std::min<std::uint64_t>(fileSize, kBmpHeaderReadBytes)));
    if (!readExactly(file, 0, head.data(), head.size()))
        return refuse("cannot read the header");
    BmpHeader h;
    if (const char *error = parseBmpHeader(head, fileSize, h))
        return refuse(error);
    const std::uint64_t available = fileSize - h.pixelOffset;
    const std::uint64_t wanted = pixelBytesWanted(h, available);
    if (wanted > available)
        return refuse("pixel array shorter than the header says");
    const bool direct = h.bitCount == 24 && h.encoding == BmpEncoding::Rgb;
    if (beforeAllocate)
        beforeAllocate({h.width, h.height, h.bufferRowBytes() * std::uint64_t(h.height), direct ? 0 : wanted});
    if (direct)
        return loadDirect(file, h, pixels);
    // Every other variant is converted from a copy of its pixel array.
    std::vector<std::uint8_t> data(static_cast<std::size_t>(wanted));
    if (!readExactly(file, h.pixelOffset, data.data(), wanted))
        return refuse("cannot read the pixel array");
    if (const char *error = decodeBmpPixels(h, data, prepare(h, pixels)))
        return refuse(error);
    return sized(h);
}

} // namespace

BmpResult decode(std::span<const std::uint8_t> file, std::vector<std::uint8_t> &pixels, std::uint64_t maxPixels)
{
    BmpHeader h;
    const auto head = file.first(std::min(file.size(), kBmpHeaderReadBytes));
    if (const char *error = parseBmpHeader(head, file.size(), h, maxPixels))
        return refuse(error);
    const std::span<const std::uint8_t> data = file.subspan(std::size_t(h.pixelOffset));
    const std::uint64_t wanted = pixelBytesWanted(h, data.size());
    if (wanted > data.size())
        return refuse("pixel array shorter than the header says");
    if (const char *error = decodeBmpPixels(h, data.first(std::size_t(wanted)), prepare(h, pixels)))
        return refuse(error);
    return sized(h);
}

BmpResult load(const FilePath &path, std::vector<std::uint8_t> &pixels, std::optional<FileStamp> *stamp,
               const BeforeAllocate &beforeAllocate, const ContentIdentity *expected)
{
    // Only ordinary files, judged on the open descriptor: a pipe or device
    // could block or never end. Opening does not block, even on a pipe.
    const std::optional<OpenedFile> openedFile = openForReading(path);
    if (!openedFile)
        return refuse("cannot open the file");
    const int fd = openedFile->fd.get();
    QFile file;
    file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    const std::optional<FileStamp> opened = fileStamp(fd);
    if (stamp)
        *stamp = opened;
    if (!openedFile->isRegular())
        return refuse("not an ordinary file");
    const std::uint64_t fileSize = std::uint64_t(std::max<qint64>(file.size(), 0));
    if (!expected)
        return loadOpened(file, fileSize, pixels, beforeAllocate);
    if (!holdsExpectedBytes(file, fileSize, *expected))
        return notExpected();
    const BmpResult result = loadOpened(file, fileSize, pixels, beforeAllocate);
    // Written to between the hash and the decoding: what was decoded is not
    // what was hashed.
    if (fileStamp(fd) != opened)
        return notExpected();
    return result;
}

bool isOrdinaryFileButNoBitmap(const FilePath &path)
{
    const std::optional<OpenedFile> opened = openForReading(path, OpenRead::NoFollow);
    if (!opened || !opened->isRegular())
        return false;
    QFile file;
    file.open(opened->fd.get(), QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    const std::uint64_t fileSize = std::uint64_t(opened->status.st_size);
    std::vector<std::uint8_t> head(std::size_t(std::min<std::uint64_t>(fileSize, kBmpHeaderReadBytes)));
    BmpHeader h;
    return !readExactly(file, 0, head.data(), head.size()) || parseBmpHeader(head, fileSize, h) != nullptr;
}

} // namespace grelm::BmpReader
