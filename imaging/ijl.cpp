#include "imaging/ijl.h"

#include "core/file_path.h"
#include "core/atomic_file.h"
#include "core/errors.h"
#include "imaging/jpeg_encoder.h"

#include <QByteArray>

#include <cstdlib>

namespace grelm {

JPEG_CORE_PROPERTIES::JPEG_CORE_PROPERTIES() = default;
JPEG_CORE_PROPERTIES::~JPEG_CORE_PROPERTIES() = default;

namespace {

void resetFields(JPEG_CORE_PROPERTIES &p)
{
    static_cast<JPEG_CORE_FIELDS &>(p) = JPEG_CORE_FIELDS{};
}

bool sourceLayout(const JPEG_CORE_PROPERTIES &p, JpegSource::Layout &layout)
{
    if (p.DIBColor == IJL_BGR && (p.DIBChannels == 3 || p.DIBChannels == 4))
        layout = p.DIBChannels == 3 ? JpegSource::Layout::Bgr : JpegSource::Layout::Bgrx;
    else if (p.DIBColor == IJL_RGB && p.DIBChannels == 3)
        layout = JpegSource::Layout::Rgb;
    else if (p.DIBColor == IJL_RGBA_FPX && p.DIBChannels == 4)
        layout = JpegSource::Layout::Rgbx;
    else
        return false;
    return true;
}

IJLERR describeSource(const JPEG_CORE_PROPERTIES &p, JpegSource &source)
{
    if (p.DIBBytes == nullptr || p.DIBWidth <= 0 || p.DIBHeight == 0 || p.DIBPadBytes < 0
        || !sourceLayout(p, source.layout))
        return IJL_INVALID_SOURCE;
    const std::int64_t pitch = std::int64_t(p.DIBWidth) * p.DIBChannels + p.DIBPadBytes;
    const std::int64_t height = std::abs(std::int64_t(p.DIBHeight));
    if (pitch > INT32_MAX || height > INT32_MAX)
        return IJL_INVALID_SOURCE;
    source.pixels = p.DIBBytes;
    source.width = p.DIBWidth;
    source.height = std::int32_t(height);
    source.pitch = std::int32_t(pitch);
    source.bottomUp = p.DIBHeight < 0; // the record's sign is the opposite of a bitmap file's (core/pixel_rows.h)
    return IJL_OK;
}

IJLERR describeJpeg(const JPEG_CORE_PROPERTIES &p, const JpegSource &source, JpegChroma &chroma)
{
    if (p.JPGWidth != source.width || p.JPGHeight != source.height || p.jquality < 1 || p.jquality > 100)
        return IJL_INVALID_JPEG_PARAMS;
    if (p.JPGColor == IJL_G && p.JPGChannels == 1) {
        chroma = JpegChroma::Gray;
        return IJL_OK;
    }
    if (p.JPGColor != IJL_YCBCR || p.JPGChannels != 3)
        return IJL_INVALID_JPEG_PARAMS;
    switch (p.JPGSubSampling) {
    case IJL_NONE: chroma = JpegChroma::Full444; return IJL_OK;
    case IJL_411:
    case IJL_4114: chroma = JpegChroma::Quarter420; return IJL_OK;
    case IJL_422: chroma = JpegChroma::Half422; return IJL_OK;
    }
    return IJL_INVALID_JPEG_PARAMS;
}

JpegEncoder &encoderOf(JPEG_CORE_PROPERTIES &p)
{
    if (p.encoder != nullptr)
        return *p.encoder;
    if (!p.ownEncoder)
        p.ownEncoder = std::make_unique<JpegEncoder>();
    return *p.ownEncoder;
}

IJLERR writeFile(const char *name, std::span<const std::uint8_t> jpeg, std::string &failureDetail)
{
    try {
        writeFileAtomically(FilePath(QByteArray(name)),
                            QByteArray::fromRawData(reinterpret_cast<const char *>(jpeg.data()), qsizetype(jpeg.size())));
    } catch (const FileError &e) {
        failureDetail = e.what();
        return IJL_FILE_WRITE_FAILED;
    }
    return IJL_OK;
}

} // namespace

IJLERR ijlInit(JPEG_CORE_PROPERTIES *jcprops)
{
    if (jcprops == nullptr)
        return IJL_INVALID_POINTER;
    resetFields(*jcprops);
    jcprops->initialised = true;
    return IJL_OK;
}

IJLERR ijlWrite(JPEG_CORE_PROPERTIES *jcprops, IJLIOTYPE iotype)
{
    if (jcprops == nullptr)
        return IJL_INVALID_POINTER;
    JPEG_CORE_PROPERTIES &p = *jcprops;
    if (!p.initialised)
        return IJL_NOT_INITIALISED;
    if (iotype != IJL_JFILE_WRITEWHOLEIMAGE && iotype != IJL_JBUFF_WRITEWHOLEIMAGE)
        return IJL_UNSUPPORTED_IO;
    if (iotype == IJL_JFILE_WRITEWHOLEIMAGE && (p.JPGFile == nullptr || *p.JPGFile == '\0'))
        return IJL_INVALID_FILENAME;
    p.JPGBytes = nullptr;
    p.JPGSizeBytes = 0;
    p.failureDetail.clear();
    JpegSource source;
    JpegChroma chroma = JpegChroma::Quarter420;
    if (IJLERR e = describeSource(p, source); e != IJL_OK)
        return e;
    if (IJLERR e = describeJpeg(p, source, chroma); e != IJL_OK)
        return e;
    JpegEncoder &encoder = encoderOf(p);
    if (IJLERR e = ijlStatusOf(encoder.encode(source, p.jquality, chroma)); e != IJL_OK) {
        p.failureDetail = encoder.errorText();
        return e;
    }
    if (iotype == IJL_JFILE_WRITEWHOLEIMAGE)
        return writeFile(p.JPGFile, encoder.output(), p.failureDetail);
    p.JPGBytes = encoder.output().data();
    p.JPGSizeBytes = encoder.output().size();
    return IJL_OK;
}

IJLERR ijlFree(JPEG_CORE_PROPERTIES *jcprops)
{
    if (jcprops == nullptr)
        return IJL_INVALID_POINTER;
    jcprops->ownEncoder.reset();
    jcprops->JPGBytes = nullptr;
    jcprops->JPGSizeBytes = 0;
    jcprops->initialised = false;
    return IJL_OK;
}

const char *ijlErrorStr(IJLERR code)
{
    switch (code) {
    case IJL_OK: return "No error";
    case IJL_INVALID_POINTER: return "No parameter record";
    case IJL_NOT_INITIALISED: return "Parameter record not initialised";
    case IJL_UNSUPPORTED_IO: return "Unsupported I/O type";
    case IJL_INVALID_SOURCE: return "No usable source pixels";
    case IJL_INVALID_JPEG_PARAMS: return "JPEG parameters do not fit the source";
    case IJL_ENCODER_UNAVAILABLE: return "Cannot create the JPEG compressor";
    case IJL_ENCODE_FAILED: return "JPEG compression failed";
    case IJL_INVALID_FILENAME: return "No output file name";
    case IJL_FILE_WRITE_FAILED: return "Cannot write the output file";
    }
    return "Unknown error";
}

IJLERR ijlStatusOf(JpegEncoder::Status status)
{
    switch (status) {
    case JpegEncoder::Status::Ok: return IJL_OK;
    case JpegEncoder::Status::InvalidSource: return IJL_INVALID_SOURCE;
    case JpegEncoder::Status::InitFailed: return IJL_ENCODER_UNAVAILABLE;
    case JpegEncoder::Status::EncodeFailed: return IJL_ENCODE_FAILED;
    }
    return IJL_ENCODE_FAILED;
}

} // namespace grelm
