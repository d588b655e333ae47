#include "thumbs/thumbnail.h"

#include "core/atomic_file.h"
#include "imaging/dib_section.h"
#include "imaging/helpers.h"
#include "thumbs/area_reduction.h"
#include "thumbs/bmp24_file.h"
#include "thumbs/thumbnail_error.h"

#include <algorithm>

namespace grelm {

cThumbnail::cThumbnail(MessageSink &messages) : m_messages(&messages) {}

void cThumbnail::setForcedDimensions(bool aBool) { m_settings.forcedDimensions = aBool; }
bool cThumbnail::ForcedDimensions() const { return m_settings.forcedDimensions; }
void cThumbnail::setMaxWidth(std::int32_t aLong) { m_settings.maxWidth = aLong; }
std::int32_t cThumbnail::MaxWidth() const { return m_settings.maxWidth; }
void cThumbnail::setMaxHeight(std::int32_t aLong) { m_settings.maxHeight = aLong; }
std::int32_t cThumbnail::MaxHeight() const { return m_settings.maxHeight; }
void cThumbnail::setBackColor(std::uint32_t aColor) { m_settings.backColor = aColor; }
std::uint32_t cThumbnail::BackColor() const { return m_settings.backColor; }
void cThumbnail::setDestFilePath(const FilePath &aString) { m_destFilePath = aString; }
FilePath cThumbnail::DestFilePath() const { return m_destFilePath; }

void cThumbnail::CreateFromStdPicture(const Picture &aStdPicture)
{
    QByteArray bmp;
    ReductionScratch scratch;
    makeThumbnailBmp(aStdPicture.rows(), m_settings, bmp, scratch);
    writeCanvas(bmp);
}

void cThumbnail::CreateFromFile(const FilePath &aFilePath)
{
    CreateFromStdPicture(loadPicture(aFilePath));
}

void cThumbnail::CreateBitmapFromLoaded(const cDIBSection &loaded, QByteArray &bmp, ReductionScratch &scratch) const
{
    const BottomUpPicture rows{loaded.DIBSectionBitsPtr(), loaded.dib_width(), loaded.dib_height(),
                               loaded.BytesPerScanLine()};
    makeThumbnailBmp(rows, m_settings, bmp, scratch);
}

// The canvas is a bitmap file's bytes; the last three letters of the
// destination say what is written, and any other ending writes nothing.
void cThumbnail::writeCanvas(const QByteArray &bmp) const
{
    const QString format = m_destFilePath.escapedText().right(3).toLower();
    if (format == u"jpg")
        writeJpeg(bmp);
    else if (format == u"bmp")
        writeFileAtomically(m_destFilePath, bmp);
}

// The JPEG writer reports its own failures in message boxes, so its result
// needs no further handling here.
void cThumbnail::writeJpeg(const QByteArray &bmp) const
{
    if (m_messages == nullptr)
        throw ThumbnailError("A JPEG thumbnail needs a place for the JPEG writer's messages");
    const BottomUpPicture canvas = bmp24Picture(bmp);
    cDIBSection buffer(*m_messages);
    if (buffer.Create(canvas.width, canvas.height, 1)) {
        // Both hold bottom-up rows: each 24-bit pixel becomes a 32-bit one.
        for (std::int32_t y = 0; y < canvas.height; ++y) {
            const std::uint8_t *from = canvas.pixels + std::size_t(y) * std::size_t(canvas.pitch);
            std::uint8_t *to = buffer.DIBSectionBitsPtr() + std::size_t(y) * std::size_t(buffer.BytesPerScanLine());
            for (std::int32_t x = 0; x < canvas.width; ++x)
                std::copy_n(from + 3 * x, 3, to + 4 * x);
        }
    }
    WriteDIBToJPEG(buffer, m_destFilePath, *m_messages);
}

} // namespace grelm
