#include "imaging/bmp_decode.h"

#include <cstring>

namespace grelm {

namespace {

// Walks a run-length encoded pixel array. Rows start at the bottom; pixels a
// run puts past the right edge are dropped, as Windows drops them; pixels the
// stream never reaches keep palette entry 0.
class RleDecoder {
public:
    RleDecoder(const BmpHeader &h, std::span<const std::uint8_t> data, std::uint8_t *dst)
        : m_h(h), m_data(data), m_dst(dst), m_stride(std::size_t(h.bufferRowBytes())),
          m_four(h.encoding == BmpEncoding::Rle4)
    {
    }

    const char *run()
    {
        fillWithEntryZero();
        for (;;) {
            std::uint8_t count = 0, value = 0;
            if (!next(count) || !next(value))
                return m_y >= m_h.height ? nullptr : "run-length data ends before the end of the bitmap";
            if (count > 0) {
                if (!encodedRun(count, value))
                    return "run-length data runs past the last row";
                continue;
            }
            if (value == 1)
                return nullptr;
            if (const char *error = escape(value))
                return error;
        }
    }

private:
    bool next(std::uint8_t &byte)
    {
        if (m_pos >= m_data.size())
            return false;
        byte = m_data[m_pos++];
        return true;
    }

    void fillWithEntryZero()
    {
        const std::size_t pixelBytes = 3 * std::size_t(m_h.width);
        for (std::int32_t y = 0; y < m_h.height; ++y) {
            std::uint8_t *row = m_dst + std::size_t(y) * m_stride;
            for (std::size_t x = 0; x < pixelBytes; x += 3)
                std::memcpy(row + x, m_h.palette.data(), 3);
            std::memset(row + pixelBytes, 0, m_stride - pixelBytes);
        }
    }

    void put(unsigned index)
    {
        if (m_x < m_h.width)
            std::memcpy(m_dst + std::size_t(m_y) * m_stride + 3 * std::size_t(m_x), &m_h.palette[3 * index], 3);
        ++m_x;
    }

    bool encodedRun(unsigned count, std::uint8_t value)
    {
        if (m_y >= m_h.height)
            return false;
        for (unsigned i = 0; i < count; ++i)
            put(m_four ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
        return true;
    }

    const char *escape(std::uint8_t code)
    {
        if (code == 0) { // end of line
            m_x = 0;
            ++m_y;
            return m_y > m_h.height ? "run-length data runs past the last row" : nullptr;
        }
        if (code == 2) { // delta: move right and up
            std::uint8_t dx = 0, dy = 0;
            if (!next(dx) || !next(dy))
                return "run-length delta cut short";
            m_x += dx;
            m_y += dy;
            return m_y > m_h.height ? "run-length delta moves past the last row" : nullptr;
        }
        return absoluteRun(code);
    }

    const char *absoluteRun(unsigned count)
    {
        if (m_y >= m_h.height)
            return "run-length data runs past the last row";
        const std::size_t bytes = m_four ? (count + 1) / 2 : count;
        const std::size_t padded = bytes + (bytes & 1); // runs keep 16-bit alignment
        if (m_data.size() - m_pos < padded)
            return "run-length data cut short";
        const std::uint8_t *p = m_data.data() + m_pos;
        for (unsigned i = 0; i < count; ++i)
            put(m_four ? (i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2] & 0x0F) : p[i]);
        m_pos += padded;
        return nullptr;
    }

    const BmpHeader &m_h;
    std::span<const std::uint8_t> m_data;
    std::uint8_t *m_dst;
    std::size_t m_stride;
    bool m_four;
    std::size_t m_pos = 0;
    std::int64_t m_x = 0;
    std::int32_t m_y = 0;
};

} // namespace

const char *decodeBmpRle(const BmpHeader &header, std::span<const std::uint8_t> data, std::uint8_t *dst)
{
    return RleDecoder(header, data, dst).run();
}

} // namespace grelm
