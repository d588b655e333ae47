#include "jpeg_check.h"

#include <libexif/exif-data.h>
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

namespace {

std::string entryText(ExifContent *folder, ExifTag tag)
{
    const ExifEntry *entry = exif_content_get_entry(folder, tag);
    if (entry == nullptr || entry->format != EXIF_FORMAT_ASCII || entry->size == 0)
        return {};
    return std::string(reinterpret_cast<const char *>(entry->data), entry->size - 1);
}

} // namespace

ExifDates readExifDates(const QByteArray &jpeg)
{
    ExifData *data = exif_data_new();
    // Read as stored: left on, libexif would add the tags Exif calls mandatory.
    exif_data_unset_option(data, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(data, reinterpret_cast<const unsigned char *>(jpeg.constData()), unsigned(jpeg.size()));
    ExifContent *image = data->ifd[EXIF_IFD_0], *photo = data->ifd[EXIF_IFD_EXIF];
    const ExifDates dates{entryText(image, EXIF_TAG_DATE_TIME), entryText(photo, EXIF_TAG_DATE_TIME_ORIGINAL),
                          entryText(photo, EXIF_TAG_OFFSET_TIME), entryText(photo, EXIF_TAG_OFFSET_TIME_ORIGINAL),
                          entryText(image, EXIF_TAG_SOFTWARE), image->count + photo->count};
    exif_data_unref(data);
    return dates;
}

void PrintTo(const ExifDates &d, std::ostream *out)
{
    *out << '[' << d.dateTime << "] [" << d.dateTimeOriginal << "] [" << d.offsetTime << "] ["
         << d.offsetTimeOriginal << "] [" << d.software << "] " << d.tags << " tags";
}

} // namespace grelm::test
