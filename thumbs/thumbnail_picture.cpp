#include "thumbs/thumbnail_picture.h"

#include "core/errors.h"
#include "core/file_ends.h"
#include "imaging/bmp_reader.h"
#include "thumbs/bmp24_file.h"

#include <QFile>
#include <QImageReader>

#include <cstring>

namespace grelm {

namespace {

// Pictures in the other formats Qt reads (PNG, JPEG, ...). A file that looks
// like a bitmap is left to our own reader's verdict.
QImage readOtherFormat(const FilePath &path)
{
    const std::optional<OpenedFile> opened = openForReading(path);
    QFile file;
    if (!opened || !file.open(opened->fd.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
        return {};
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    if (reader.format().isEmpty() || reader.format() == "bmp")
        return {};
    return reader.read();
}

} // namespace

Picture::Picture(const QImage &image)
{
    if (image.isNull())
        return;
    const QImage bottomUp = image.convertToFormat(QImage::Format_BGR888).mirrored();
    if (bottomUp.isNull())
        throw FileError("Not enough memory for the picture");
    m_width = bottomUp.width();
    m_height = bottomUp.height();
    const std::size_t pitch = std::size_t(bmp24Pitch(m_width));
    m_rows.assign(pitch * std::size_t(m_height), 0);
    for (std::int32_t y = 0; y < m_height; ++y)
        std::memcpy(m_rows.data() + pitch * std::size_t(y), bottomUp.constScanLine(y), std::size_t(m_width) * 3);
}

Picture::Picture(std::vector<std::uint8_t> rows, std::int32_t width, std::int32_t height)
    : m_rows(std::move(rows)), m_width(width), m_height(height)
{
}

BottomUpPicture Picture::rows() const
{
    return {m_rows.empty() ? nullptr : m_rows.data(), m_width, m_height, bmp24Pitch(m_width)};
}

Picture loadPicture(const FilePath &path)
{
    std::vector<std::uint8_t> pixels;
    const BmpResult bmp = BmpReader::load(path, pixels);
    if (bmp)
        return Picture(std::move(pixels), bmp.width, bmp.height);
    const QImage other = readOtherFormat(path);
    if (other.isNull())
        throw FileError(QStringLiteral("Cannot load the picture %1: %2")
                            .arg(path.escapedText(), QString::fromUtf8(bmp.error))
                            .toStdString());
    return Picture(other);
}

} // namespace grelm
