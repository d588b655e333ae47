#include "imaging/helpers.h"

#include "core/file_path.h"
#include "core/atomic_file.h"
#include "core/errors.h"
#include "core/messages.h"
#include "core/pixel_rows.h"
#include "core/user_messages.h"
#include "imaging/dib_section.h"
#include "imaging/exif_dates.h"
#include "imaging/ijl.h"
#include "imaging/jpeg_encoder.h"

#include <cstdlib>
#include <cstring>

namespace grelm {

namespace {

const QString kSaveFailed = QStringLiteral("Failed to save to JPG");
constexpr std::int32_t kQuality = 75;

// The library's own words for a failure, else the text of its status.
QString reasonOf(IJLERR status, const std::string &detail)
{
    return QString::fromStdString(detail.empty() ? std::string(ijlErrorStr(status)) : detail);
}

// The buffer as the encoder reads it: its rows as they lie in memory, the
// first one the picture's bottom row for a positive height. A buffer that
// holds no picture is the invalid source the record refuses too.
IJLERR describeBuffer(cDIBSection &buffer, JpegSource &source)
{
    const std::int32_t pad = ScanLinePadBytes(buffer.dib_width(), buffer.dib_channels());
    if (buffer.DIBSectionBitsPtr() == nullptr || buffer.dib_width() <= 0 || buffer.dib_height() == 0)
        return IJL_INVALID_SOURCE;
    source.pixels = buffer.DIBSectionBitsPtr();
    source.width = buffer.dib_width();
    source.height = std::abs(buffer.dib_height());
    source.pitch = buffer.dib_width() * buffer.dib_channels() + pad;
    source.layout = buffer.dib_channels() == 3 ? JpegSource::Layout::Bgr : JpegSource::Layout::Bgrx;
    source.bottomUp = buffer.dib_height() > 0;
    return IJL_OK;
}

} // namespace

void DescribeDIBForJPEG(JPEG_CORE_PROPERTIES &p, cDIBSection &buffer)
{
    p.DIBBytes = buffer.DIBSectionBitsPtr();
    p.DIBWidth = buffer.dib_width();
    p.DIBHeight = -buffer.dib_height(); // the record marks bottom-up rows by a negative height (core/pixel_rows.h)
    p.DIBPadBytes = ScanLinePadBytes(buffer.dib_width(), buffer.dib_channels());
    p.DIBChannels = buffer.dib_channels();
    p.DIBColor = IJL_BGR;
    p.JPGWidth = buffer.dib_width();
    p.JPGHeight = buffer.dib_height() < 0 ? -buffer.dib_height() : buffer.dib_height();
    p.JPGChannels = 3;
    p.JPGColor = IJL_YCBCR;
    p.JPGSubSampling = IJL_411;
    p.jquality = kQuality;
}

bool WriteDIBToJPEG(cDIBSection &buffer, const FilePath &path, MessageSink &messages)
{
    return WriteDIBToJPEG(buffer, path, messages, nullptr);
}

// One write through the JPEG library: initialise, describe the buffer, write
// the file, free; the free step is skipped when initialisation failed.
bool WriteDIBToJPEG(cDIBSection &buffer, const FilePath &path, MessageSink &messages, JpegEncoder *encoder)
{
    JPEG_CORE_PROPERTIES props;
    IJLERR status = ijlInit(&props);
    if (status != IJL_OK) {
        ShowIJLError(messages, QStringLiteral("Failed to initialise the IJL library"), status, reasonOf(status, {}));
        return false;
    }
    DescribeDIBForJPEG(props, buffer);
    props.encoder = encoder;
    props.JPGFile = path.data();
    status = ijlWrite(&props, IJL_JFILE_WRITEWHOLEIMAGE);
    const QString detail = status == IJL_OK ? QString() : reasonOf(status, props.failureDetail);
    ijlFree(&props);
    if (status != IJL_OK)
        ShowIJLError(messages, kSaveFailed, status, detail);
    return status == IJL_OK;
}

std::int32_t EncodeDIBToJPEG(cDIBSection &buffer, JpegEncoder &encoder, QByteArray &out, QString *detail)
{
    JpegSource source;
    IJLERR status = describeBuffer(buffer, source);
    std::string failure;
    if (status == IJL_OK) {
        status = ijlStatusOf(encoder.encode(source, kQuality, JpegChroma::Quarter420));
        if (status != IJL_OK)
            failure = encoder.errorText();
    }
    if (status == IJL_OK) {
        out.resize(qsizetype(encoder.output().size()));
        std::memcpy(out.data(), encoder.output().data(), encoder.output().size());
    }
    if (detail)
        *detail = status == IJL_OK ? QString() : reasonOf(status, failure);
    return status;
}

bool SaveJPEG(const FilePath &path, std::int32_t status, const QByteArray &jpeg, const std::optional<FileTime> &modified,
              MessageSink &messages, const QString &detail, const WriteFolders *within)
{
    if (status != IJL_OK) {
        ShowIJLError(messages, kSaveFailed, status, detail);
        return false;
    }
    StagedFile file;
    return CommitJPEG(file, StageJPEG(path, jpeg, modified, file, within), messages);
}

QString StageJPEG(const FilePath &path, const QByteArray &jpeg, const std::optional<FileTime> &modified, StagedFile &file,
                  const WriteFolders *within)
{
    try {
        file.stage(fileAt(within, path), withExif(jpeg, modified), false, modified);
        return {};
    } catch (const FileError &e) {
        return QString::fromStdString(e.what());
    }
}

bool CommitJPEG(StagedFile &file, const QString &stageFailure, MessageSink &messages)
{
    QString reason = stageFailure;
    if (reason.isEmpty()) {
        try {
            file.commit();
            return true;
        } catch (const FileError &e) {
            reason = QString::fromStdString(e.what());
        }
    }
    ShowJpegNotWritten(messages, reason);
    return false;
}

void ShowJpegNotWritten(MessageSink &messages, const QString &reason)
{
    ShowIJLError(messages, kSaveFailed, IJL_FILE_WRITE_FAILED, reason);
}

void ShowIJLError(MessageSink &messages, const QString &message, std::int32_t code, const QString &detail)
{
    messages.show(jpegErrorMessage(message, code, detail));
}

std::int32_t ScanLinePadBytes(std::int32_t width, std::int32_t channels)
{
    const std::int64_t p = std::int64_t(width) * channels;
    if (p > INT32_MAX || p < INT32_MIN || p + 3 > INT32_MAX)
        throw OverflowError();
    return std::int32_t(paddedRowBytes(p) - p);
}

} // namespace grelm
