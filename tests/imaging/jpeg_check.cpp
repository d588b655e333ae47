#include "jpeg_check.h"

#include <turbojpeg.h>

namespace grelm::test {

DecodedJpeg decodeJpeg(const QByteArray &jpeg)
{
    DecodedJpeg out;
    tjhandle handle = tjInitDecompress();
    const auto *data = reinterpret_cast<const unsigned char *>(jpeg.constData());
    int colorspace = 0;
    if (tjDecompressHeader3(handle, data, jpeg.size(), &out.width, &out.height, &out.subsampling, &colorspace) == 0) {
        out.components = out.subsampling == TJSAMP_GRAY ? 1 : (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK) ? 4 : 3;
        QImage image(out.width, out.height, QImage::Format_RGB888);
        out.ok = tjDecompress2(handle, data, jpeg.size(), image.bits(), out.width, int(image.bytesPerLine()),
                               out.height, TJPF_RGB, TJFLAG_ACCURATEDCT) == 0;
        out.image = image;
    }
    tjDestroy(handle);
    return out;
}

} // namespace grelm::test
