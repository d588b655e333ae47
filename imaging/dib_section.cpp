#include "imaging/dib_section.h"

#include "core/errors.h"
#include "core/messages.h"
#include "core/pixel_rows.h"
#include "core/user_messages.h"
#include "imaging/bmp_header.h"
#include "imaging/bmp_reader.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace grelm {

namespace {

// Row bytes for a depth and width, rounded up to a multiple of 4; throws
// OverflowError when it does not fit 32 bits.
std::int64_t rowBytes(std::int32_t bitCount, std::int32_t width)
{
    const std::int64_t bytes = paddedRowBytes(std::int64_t(bitCount / 8) * width);
    if (bytes > std::numeric_limits<std::int32_t>::max() || bytes < std::numeric_limits<std::int32_t>::min())
        throw OverflowError();
    return bytes;
}

} // namespace

cDIBSection::cDIBSection(MessageSink &messages) : m_messages(messages) {}

cDIBSection::~cDIBSection() = default;

bool cDIBSection::Create(std::int32_t lWidth, std::int32_t lHeight, std::int32_t lChannels)
{
    CleanUp();
    const std::int32_t bitCount = lChannels == 3 ? 24 : 32;
    const std::int64_t imageBytes = rowBytes(bitCount, lWidth) * std::abs(std::int64_t(lHeight));
    if (imageBytes > std::numeric_limits<std::int32_t>::max())
        throw OverflowError();
    if (lWidth <= 0 || lHeight == 0 || std::uint64_t(lWidth) * std::uint64_t(std::abs(std::int64_t(lHeight))) > kBmpMaxPixels)
        return false;
    if (m_pixels.size() < std::size_t(imageBytes))
        m_pixels.resize(std::size_t(imageBytes));
    std::memset(m_pixels.data(), 0, std::size_t(imageBytes));
    m_width = lWidth;
    m_height = lHeight;
    m_bitCount = bitCount;
    m_holdsImage = true;
    return true;
}

bool cDIBSection::Load(const FilePath &Name)
{
    return load(Name, nullptr, nullptr);
}

bool cDIBSection::LoadExpected(const FilePath &Name, const ContentIdentity &expected, bool &notExpected)
{
    return load(Name, &expected, &notExpected);
}

bool cDIBSection::load(const FilePath &name, const ContentIdentity *expected, bool *notExpected)
{
    CleanUp();
    const BmpResult result = BmpReader::load(name, m_pixels, &m_loadedStamp, m_beforeAllocate, expected);
    if (notExpected)
        *notExpected = result.notExpected;
    if (!result) {
        if (!result.notExpected)
            m_messages.show(cantLoadBmpMessage(QString::fromUtf8(result.error)));
        return false;
    }
    m_width = result.width;
    m_height = result.height;
    m_bitCount = 24;
    m_holdsImage = true;
    return true;
}

std::int32_t cDIBSection::BytesPerScanLine() const
{
    return std::int32_t(rowBytes(m_bitCount, m_width));
}

std::int32_t cDIBSection::dib_width() const
{
    return m_width;
}

std::int32_t cDIBSection::dib_height() const
{
    return m_height;
}

std::int32_t cDIBSection::dib_channels() const
{
    return m_bitCount / 8;
}

QImage cDIBSection::hdc()
{
    if (!m_holdsImage)
        return QImage();
    const QImage::Format format = m_bitCount == 24 ? QImage::Format_BGR888 : QImage::Format_RGB32;
    return QImage(m_pixels.data(), m_width, std::abs(m_height), BytesPerScanLine(), format);
}

const void *cDIBSection::hDib() const
{
    return DIBSectionBitsPtr();
}

std::uint8_t *cDIBSection::DIBSectionBitsPtr()
{
    return m_holdsImage ? m_pixels.data() : nullptr;
}

const std::uint8_t *cDIBSection::DIBSectionBitsPtr() const
{
    return m_holdsImage ? m_pixels.data() : nullptr;
}

void cDIBSection::CleanUp()
{
    // The pixel memory itself is kept for the next image: a batch of
    // screenshots of one size then never touches fresh pages.
    m_width = 0;
    m_height = 0;
    m_bitCount = 0;
    m_holdsImage = false;
}

void cDIBSection::releaseMemory()
{
    CleanUp();
    std::vector<std::uint8_t>().swap(m_pixels);
}

} // namespace grelm
