#include "imaging/helpers.h"

#include "core/errors.h"
#include "core/messages.h"
#include "imaging/dib_section.h"
#include "imaging/ijl.h"

#include <QFile>

namespace grelm {

void DescribeDIBForJPEG(JPEG_CORE_PROPERTIES &p, cDIBSection &buffer)
{
    p.DIBBytes = buffer.DIBSectionBitsPtr();
    p.DIBWidth = buffer.dib_width();
    p.DIBHeight = -buffer.dib_height();
    p.DIBPadBytes = ScanLinePadBytes(buffer.dib_width(), buffer.dib_channels());
    p.DIBChannels = buffer.dib_channels();
    p.DIBColor = IJL_BGR;
    p.JPGWidth = buffer.dib_width();
    p.JPGHeight = buffer.dib_height() < 0 ? -buffer.dib_height() : buffer.dib_height();
    p.JPGChannels = 3;
    p.JPGColor = IJL_YCBCR;
    p.JPGSubSampling = IJL_411;
    p.jquality = 75;
}

bool WriteDIBToJPEG(cDIBSection &buffer, QString path, MessageSink &messages)
{
    return WriteDIBToJPEG(buffer, std::move(path), messages, nullptr);
}

bool WriteDIBToJPEG(cDIBSection &buffer, QString path, MessageSink &messages, JpegEncoder *encoder)
{
    JPEG_CORE_PROPERTIES props;
    IJLERR status = ijlInit(&props);
    if (status != IJL_OK) {
        ShowIJLError(messages, QStringLiteral("Failed to initialise the IJL library"), status);
        return false;
    }
    DescribeDIBForJPEG(props, buffer);
    props.encoder = encoder;
    const QByteArray name = QFile::encodeName(path); // lives until the write is done
    props.JPGFile = name.constData();
    status = ijlWrite(&props, IJL_JFILE_WRITEWHOLEIMAGE);
    const bool written = status == IJL_OK;
    if (!written)
        ShowIJLError(messages, QStringLiteral("Failed to save to JPG"), status);
    ijlFree(&props);
    return written;
}

void ShowIJLError(MessageSink &messages, const QString &message, std::int32_t code)
{
    messages.show({QStringLiteral("IJL ERROR: [%1] - %2").arg(code).arg(message), kJpegLibraryTitle,
                   MessageIcon::Exclamation});
}

std::int32_t ScanLinePadBytes(std::int32_t width, std::int32_t channels)
{
    const std::int64_t p = std::int64_t(width) * channels;
    if (p > INT32_MAX || p < INT32_MIN || p + 3 > INT32_MAX)
        throw OverflowError();
    return std::int32_t(((p + 3) & ~std::int64_t(3)) - p);
}

} // namespace grelm
