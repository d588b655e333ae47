#include "imaging/jpeg_encoder.h"

#include <turbojpeg.h>

#include <climits>

namespace grelm {

namespace {

int pixelFormatOf(JpegSource::Layout layout)
{
    switch (layout) {
    case JpegSource::Layout::Bgr: return TJPF_BGR;
    case JpegSource::Layout::Bgrx: return TJPF_BGRX;
    case JpegSource::Layout::Rgb: return TJPF_RGB;
    case JpegSource::Layout::Rgbx: return TJPF_RGBX;
    }
    return TJPF_BGR;
}

int subsamplingOf(JpegChroma chroma)
{
    switch (chroma) {
    case JpegChroma::Full444: return TJSAMP_444;
    case JpegChroma::Half422: return TJSAMP_422;
    case JpegChroma::Quarter420: return TJSAMP_420;
    case JpegChroma::Gray: return TJSAMP_GRAY;
    }
    return TJSAMP_420;
}

bool validSource(const JpegSource &s)
{
    const std::int64_t rowBytes = std::int64_t(s.width) * tjPixelSize[pixelFormatOf(s.layout)];
    return s.pixels != nullptr && s.width > 0 && s.height > 0 && s.pitch >= rowBytes;
}

} // namespace

void JpegEncoder::HandleDeleter::operator()(void *handle) const
{
    tjDestroy(handle);
}

void JpegEncoder::BufferDeleter::operator()(unsigned char *buffer) const
{
    tjFree(buffer);
}

JpegEncoder::JpegEncoder() = default;
JpegEncoder::~JpegEncoder() = default;

bool JpegEncoder::ensureHandle()
{
    if (!m_handle)
        m_handle.reset(tjInitCompress());
    if (!m_handle)
        m_error = tjGetErrorStr2(nullptr);
    return m_handle != nullptr;
}

// Makes the buffer hold the worst case for this picture, so the library never
// has to reallocate it behind our back.
bool JpegEncoder::ensureCapacity(const JpegSource &source, JpegChroma chroma)
{
    const unsigned long needed = tjBufSize(source.width, source.height, subsamplingOf(chroma));
    if (needed == static_cast<unsigned long>(-1) || needed > static_cast<unsigned long>(INT_MAX)) {
        m_error = "picture too large to encode";
        return false;
    }
    if (needed > m_capacity) {
        m_buffer.reset();
        m_capacity = 0;
        m_buffer.reset(tjAlloc(int(needed)));
        if (!m_buffer) {
            m_error = "cannot allocate the JPEG buffer";
            return false;
        }
        m_capacity = needed;
    }
    return true;
}

void JpegEncoder::releaseBuffer()
{
    m_buffer.reset();
    m_capacity = 0;
    m_size = 0;
}

std::uint64_t JpegEncoder::worstCaseBytes(std::int32_t width, std::int32_t height)
{
    // Full-resolution colour is the largest sampling.
    const unsigned long bytes = tjBufSize(width, height, TJSAMP_444);
    return bytes == static_cast<unsigned long>(-1) ? 0 : bytes;
}

JpegEncoder::Status JpegEncoder::encode(const JpegSource &source, int quality, JpegChroma chroma)
{
    m_size = 0;
    m_error.clear();
    if (!validSource(source)) {
        m_error = "no pixels to encode";
        return Status::InvalidSource;
    }
    if (!ensureHandle())
        return Status::InitFailed;
    if (!ensureCapacity(source, chroma))
        return Status::EncodeFailed;
    unsigned char *buffer = m_buffer.get();
    unsigned long size = m_capacity;
    const int flags = TJFLAG_NOREALLOC | TJFLAG_ACCURATEDCT | (source.bottomUp ? TJFLAG_BOTTOMUP : 0);
    if (tjCompress2(m_handle.get(), source.pixels, source.width, source.pitch, source.height,
                    pixelFormatOf(source.layout), &buffer, &size, subsamplingOf(chroma), quality, flags)
        != 0) {
        m_error = tjGetErrorStr2(m_handle.get());
        return Status::EncodeFailed;
    }
    m_size = size;
    return Status::Ok;
}

} // namespace grelm
