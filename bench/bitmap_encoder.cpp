#include "bench/bitmap_encoder.h"

#include "core/pixel_rows.h"

#include <turbojpeg.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace grelm::bench {

namespace {

std::uint32_t le(const std::uint8_t *p, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { if (m_fd >= 0) ::close(m_fd); }
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Reads the whole file with one read (more only if the kernel returns less);
// the buffer only grows. Returns the file's size.
std::size_t readInto(const std::string &path, std::vector<std::uint8_t> &buffer)
{
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0)
        throw std::runtime_error("cannot open " + path);
    if (buffer.size() < std::size_t(st.st_size))
        buffer.resize(std::size_t(st.st_size));
    std::size_t done = 0;
    while (done < std::size_t(st.st_size)) {
        const ssize_t n = ::read(fd.get(), buffer.data() + done, std::size_t(st.st_size) - done);
        if (n <= 0)
            throw std::runtime_error("cannot read " + path);
        done += std::size_t(n);
    }
    return done;
}

} // namespace

BitmapView parseBitmap(const std::uint8_t *bytes, std::size_t size)
{
    if (size < 54 || bytes[0] != 'B' || bytes[1] != 'M')
        throw std::runtime_error("not a bitmap");
    const std::uint32_t offset = le(bytes + 10, 4);
    const std::int32_t width = std::int32_t(le(bytes + 18, 4));
    const std::int32_t height = std::int32_t(le(bytes + 22, 4));
    if (le(bytes + 28, 2) != 24 || le(bytes + 30, 4) != 0 || width <= 0 || height == 0)
        throw std::runtime_error("not an uncompressed 24-bit bitmap");
    BitmapView view;
    view.width = width;
    view.height = height > 0 ? height : -height;
    view.bottomUp = height > 0;
    view.pitch = int(paddedRowBytes(std::int64_t(width) * 3));
    if (offset > size || std::size_t(view.pitch) * view.height > size - offset)
        throw std::runtime_error("bitmap shorter than its header says");
    view.rows = bytes + offset;
    return view;
}

std::vector<std::uint8_t> readWholeFile(const std::string &path)
{
    std::vector<std::uint8_t> bytes;
    bytes.resize(readInto(path, bytes));
    return bytes;
}

BitmapEncoder::BitmapEncoder() : m_handle(tjInitCompress())
{
    if (!m_handle)
        throw std::runtime_error("cannot start the JPEG encoder");
}

BitmapEncoder::~BitmapEncoder()
{
    tjFree(m_jpeg);
    tjDestroy(m_handle);
}

BitmapView BitmapEncoder::readBitmap(const std::string &path)
{
    const std::size_t size = readInto(path, m_file);
    return parseBitmap(m_file.data(), size);
}

void BitmapEncoder::encode(const BitmapView &view)
{
    const unsigned long needed = tjBufSize(view.width, view.height, TJSAMP_420);
    if (needed > m_jpegCapacity) {
        tjFree(m_jpeg);
        m_jpeg = tjAlloc(int(needed));
        if (!m_jpeg)
            throw std::runtime_error("out of memory");
        m_jpegCapacity = needed;
    }
    m_jpegSize = m_jpegCapacity;
    const int flags = TJFLAG_ACCURATEDCT | TJFLAG_NOREALLOC | (view.bottomUp ? TJFLAG_BOTTOMUP : 0);
    if (tjCompress2(m_handle, view.rows, view.width, view.pitch, view.height, TJPF_BGR, &m_jpeg,
                    &m_jpegSize, TJSAMP_420, 75, flags) != 0)
        throw std::runtime_error(std::string("encode failed: ") + tjGetErrorStr2(m_handle));
}

void BitmapEncoder::writeJpeg(const std::string &path) const
{
    const FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.get() < 0 || ::write(fd.get(), m_jpeg, m_jpegSize) != ssize_t(m_jpegSize))
        throw std::runtime_error("cannot write " + path);
}

} // namespace grelm::bench
