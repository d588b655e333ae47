#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace grelm {

/// Pixels to be encoded: rows of `pitch` bytes in the given layout.
struct JpegSource {
    enum class Layout { Bgr, Bgrx, Rgb, Rgbx };

    const std::uint8_t *pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pitch = 0;   ///< bytes from one row to the next in memory
    Layout layout = Layout::Bgr;
    bool bottomUp = false;    ///< the first row in memory is the picture's bottom row
};

/// How the JPEG samples its colour.
enum class JpegChroma { Full444, Half422, Quarter420, Gray };

/// A reusable libjpeg-turbo compressor with its own output buffer, which grows
/// to the largest picture encoded and is kept; one encoder serves one thread.
class JpegEncoder {
public:
    enum class Status { Ok, InvalidSource, InitFailed, EncodeFailed };

    JpegEncoder();
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder &) = delete;
    JpegEncoder &operator=(const JpegEncoder &) = delete;

    /// Encodes `source` at `quality` (1-100). On success output() holds the
    /// JPEG file's bytes until the next call; on failure errorText() says why.
    Status encode(const JpegSource &source, int quality, JpegChroma chroma);

    std::span<const std::uint8_t> output() const { return {m_buffer.get(), m_size}; }
    const std::string &errorText() const { return m_error; }

    /// The bytes of the output buffer held, kept from picture to picture.
    std::size_t bufferBytes() const { return m_capacity; }
    /// Frees the output buffer; output() is empty until the next encode.
    void releaseBuffer();
    /// The most output buffer an encode of a `width` x `height` picture takes,
    /// whatever its sampling; 0 when such a picture cannot be encoded.
    static std::uint64_t worstCaseBytes(std::int32_t width, std::int32_t height);

private:
    struct HandleDeleter { void operator()(void *handle) const; };
    struct BufferDeleter { void operator()(unsigned char *buffer) const; };

    bool ensureHandle();
    bool ensureCapacity(const JpegSource &source, JpegChroma chroma);

    std::unique_ptr<void, HandleDeleter> m_handle;
    std::unique_ptr<unsigned char, BufferDeleter> m_buffer;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
    std::string m_error;
};

} // namespace grelm
