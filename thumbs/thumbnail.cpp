#include "thumbs/thumbnail.h"

#include "imaging/dib_section.h"
#include "imaging/helpers.h"
#include "thumbs/thumbnail_bmp.h"

#include <QPainter>


namespace grelm {

cThumbnail::cThumbnail(MessageSink &messages) : m_messages(messages) {}

void cThumbnail::setForcedDimensions(bool aBool) { m_settings.forcedDimensions = aBool; }
bool cThumbnail::ForcedDimensions() const { return m_settings.forcedDimensions; }
void cThumbnail::setMaxWidth(std::int32_t aLong) { m_settings.maxWidth = aLong; }
std::int32_t cThumbnail::MaxWidth() const { return m_settings.maxWidth; }
void cThumbnail::setMaxHeight(std::int32_t aLong) { m_settings.maxHeight = aLong; }
std::int32_t cThumbnail::MaxHeight() const { return m_settings.maxHeight; }
void cThumbnail::setBackColor(std::uint32_t aColor) { m_settings.backColor = aColor; }
std::uint32_t cThumbnail::BackColor() const { return m_settings.backColor; }
void cThumbnail::setDestFilePath(const QString &aString) { m_destFilePath = aString; }
QString cThumbnail::DestFilePath() const { return m_destFilePath; }

void cThumbnail::CreateFromStdPicture(const Picture &aStdPicture)
{
    const QImage canvas = makeThumbnailImage(aStdPicture.image(), m_settings);
    const QString format = m_destFilePath.right(3).toLower();
    if (format == u"jpg")
        writeJpeg(canvas);
    else if (format == u"bmp")
        writeBmp24(m_destFilePath, BitmapToPicture(canvas).image());
}

void cThumbnail::CreateFromFile(const QString &aFilePath)
{
    CreateFromStdPicture(loadPicture(aFilePath));
}

// The JPEG writer reports its own failures in message boxes, so its result
// needs no further handling here.
void cThumbnail::writeJpeg(const QImage &canvas) const
{
    cDIBSection buffer(m_messages);
    buffer.Create(canvas.width(), canvas.height(), 1);
    QImage surface = buffer.hdc();
    if (!surface.isNull()) {
        // The surface's first row is the picture's bottom row.
        QPainter painter(&surface);
        painter.drawImage(0, 0, canvas.mirrored(false, true));
    }
    WriteDIBToJPEG(buffer, m_destFilePath, m_messages);
}

// Wraps the finished canvas as a picture of its own, so that the bitmap route
// saves a picture just as a caller's picture would be saved.
Picture cThumbnail::BitmapToPicture(QImage canvas)
{
    return Picture(std::move(canvas));
}

} // namespace grelm
