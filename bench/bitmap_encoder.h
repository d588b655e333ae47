#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace grelm::bench {

/// The pixel rows of an uncompressed 24-bit bitmap held in memory.
struct BitmapView {
    const std::uint8_t *rows = nullptr; ///< first row in memory
    int width = 0;
    int height = 0;                     ///< always positive
    int pitch = 0;                      ///< bytes per row, padded to 4
    bool bottomUp = true;
};

/// Finds the rows of an uncompressed 24-bit bitmap file's bytes; throws
/// std::runtime_error for anything else (the corpus holds nothing else).
BitmapView parseBitmap(const std::uint8_t *bytes, std::size_t size);

/// Reads a whole file; throws std::runtime_error on failure.
std::vector<std::uint8_t> readWholeFile(const std::string &path);

/// One thread's reader and TurboJPEG encoder: the file buffer, the JPEG
/// buffer and the library handle live as long as the object and are reused.
class BitmapEncoder {
public:
    BitmapEncoder();
    ~BitmapEncoder();
    BitmapEncoder(const BitmapEncoder &) = delete;
    BitmapEncoder &operator=(const BitmapEncoder &) = delete;

    /// Reads the file with one read into the reused buffer and finds its rows.
    BitmapView readBitmap(const std::string &path);
    /// Encodes the rows at quality 75, 4:2:0, accurate DCT into the reused JPEG buffer.
    void encode(const BitmapView &view);
    /// Writes the last encoded JPEG to `path`.
    void writeJpeg(const std::string &path) const;

private:
    void *m_handle;
    std::vector<std::uint8_t> m_file;
    unsigned char *m_jpeg = nullptr;
    unsigned long m_jpegCapacity = 0;
    unsigned long m_jpegSize = 0;
};

} // namespace grelm::bench
