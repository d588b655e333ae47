#include "imaging/convert_pass_encode.h"

#include "imaging/dib_section.h"
#include "imaging/helpers.h"
#include "imaging/ijl.h"

#include <cstring>

namespace grelm {

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
    DescribeDIBForJPEG(props, dib);
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
