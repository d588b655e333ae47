#include "imaging/convert_pass_encode.h"

#include "imaging/dib_section.h"
#include "imaging/helpers.h"
#include "imaging/ijl.h"

#include <cstring>

namespace grelm {

namespace {

// The record as the JPEG writer fills it: the buffer as it lies in memory (a
// positive height is bottom-up, marked by a negative source height) and an
// upright 3-component JPEG of the same size.
void describe(JPEG_CORE_PROPERTIES &p, cDIBSection &buffer)
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

} // namespace

std::int32_t jpegWriteFailedStatus()
{
    return IJL_FILE_WRITE_FAILED;
}

std::int32_t encodeDibToJpeg(cDIBSection &dib, JpegEncoder &encoder, QByteArray &out)
{
    JPEG_CORE_PROPERTIES props;
    IJLERR status = ijlInit(&props);
    if (status != IJL_OK)
        return status;
    describe(props, dib);
    props.encoder = &encoder;
    status = ijlWrite(&props, IJL_JBUFF_WRITEWHOLEIMAGE);
    if (status == IJL_OK) {
        out.resize(qsizetype(props.JPGSizeBytes));
        std::memcpy(out.data(), props.JPGBytes, props.JPGSizeBytes);
    }
    ijlFree(&props);
    return status;
}

} // namespace grelm
