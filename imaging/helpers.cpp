#include "imaging/helpers.h"

#include "core/file_path.h"
#include "core/atomic_file.h"
#include "core/pixel_rows.h"
#include "core/errors.h"
#include "core/messages.h"
#include "imaging/dib_section.h"
#include "imaging/exif_dates.h"
#include "imaging/ijl.h"

#include <QFile>

#include <cstring>
#include <functional>

namespace grelm {

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
    p.jquality = 75;
}

bool WriteDIBToJPEG(cDIBSection &buffer, const FilePath &path, MessageSink &messages)
{
    return WriteDIBToJPEG(buffer, path, messages, nullptr);
}

namespace {

const QString kSaveFailed = QStringLiteral("Failed to save to JPG");

// What one write through the JPEG library ended with: its status and, on
// failure, the message that names the step that failed.
struct IjlOutcome {
    IJLERR status = IJL_OK;
    QString failure;
    QString detail;
};

// The library's own words for a failure, else the text of its status.
QString reasonOf(IJLERR status, const std::string &detail)
{
    return QString::fromStdString(detail.empty() ? std::string(ijlErrorStr(status)) : detail);
}

// One write through the JPEG library: initialise, describe the buffer, write
// (to the file `file`, or to memory when it is null), free. `done` sees the
// record before it is freed. The free step is skipped when initialisation failed.
IjlOutcome writeThroughIJL(cDIBSection &buffer, JpegEncoder *encoder, const char *file,
                           const std::function<void(const JPEG_CORE_PROPERTIES &)> &done = {})
{
    JPEG_CORE_PROPERTIES props;
    IJLERR status = ijlInit(&props);
    if (status != IJL_OK)
        return {status, QStringLiteral("Failed to initialise the IJL library"), reasonOf(status, {})};
    DescribeDIBForJPEG(props, buffer);
    props.encoder = encoder;
    props.JPGFile = file;
    status = ijlWrite(&props, file ? IJL_JFILE_WRITEWHOLEIMAGE : IJL_JBUFF_WRITEWHOLEIMAGE);
    if (status == IJL_OK && done)
        done(props);
    const IjlOutcome outcome{status, status == IJL_OK ? QString() : kSaveFailed,
                             status == IJL_OK ? QString() : reasonOf(status, props.failureDetail)};
    ijlFree(&props);
    return outcome;
}

} // namespace

bool WriteDIBToJPEG(cDIBSection &buffer, const FilePath &path, MessageSink &messages, JpegEncoder *encoder)
{
    const IjlOutcome outcome = writeThroughIJL(buffer, encoder, path.data());
    if (outcome.status != IJL_OK)
        ShowIJLError(messages, outcome.failure, outcome.status, outcome.detail);
    return outcome.status == IJL_OK;
}

std::int32_t EncodeDIBToJPEG(cDIBSection &buffer, JpegEncoder &encoder, QByteArray &out, QString *detail)
{
    const IjlOutcome outcome = writeThroughIJL(buffer, &encoder, nullptr, [&](const JPEG_CORE_PROPERTIES &props) {
        out.resize(qsizetype(props.JPGSizeBytes));
        std::memcpy(out.data(), props.JPGBytes, props.JPGSizeBytes);
    });
    if (detail)
        *detail = outcome.detail;
    return outcome.status;
}

bool SaveJPEG(const QString &path, std::int32_t status, const QByteArray &jpeg, const std::optional<FileTime> &modified,
              MessageSink &messages, const QString &detail, const WriteFolders *within)
{
    return SaveJPEG(FilePath::fromEscapedText(path), status, jpeg, modified, messages, detail, within);
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

QString StageJPEG(const QString &path, const QByteArray &jpeg, const std::optional<FileTime> &modified, StagedFile &file,
                  const WriteFolders *within)
{
    return StageJPEG(FilePath::fromEscapedText(path), jpeg, modified, file, within);
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
