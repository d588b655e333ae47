#include "imaging/convert_pass_encode.h"

#include "imaging/dib_section.h"
#include "imaging/jpeg_encoder.h"

#include <cstdlib>
#include <cstring>

namespace grelm {

std::int32_t encodeDibToJpeg(const cDIBSection &dib, JpegEncoder &encoder, QByteArray &out)
{
    if (dib.dib_channels() == 0)
        return -1;
    JpegSource source;
    source.pixels = dib.DIBSectionBitsPtr();
    source.width = dib.dib_width();
    source.height = std::abs(dib.dib_height());
    source.pitch = dib.BytesPerScanLine();
    source.layout = dib.dib_channels() == 3 ? JpegSource::Layout::Bgr : JpegSource::Layout::Bgrx;
    source.bottomUp = dib.dib_height() > 0;
    if (encoder.encode(source, 75, JpegChroma::Quarter420) != JpegEncoder::Status::Ok)
        return -3;
    const auto bytes = encoder.output();
    out.resize(qsizetype(bytes.size()));
    std::memcpy(out.data(), bytes.data(), bytes.size());
    return 0;
}

} // namespace grelm
