#include "imaging/exif_dates.h"

#include "imaging/jpeg_segments.h"

#include <libexif/exif-data.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace grelm {

namespace {

constexpr unsigned char kApp1 = 0xE1;
// The Exif version that defines the offset tags.
constexpr char kExifVersion[4] = {'0', '2', '3', '1'};

// A moment as the local clock showed it, in Exif's text forms.
struct LocalStamp {
    std::string dateTime; ///< "YYYY:MM:DD HH:MM:SS"
    std::string offset;   ///< "+HH:MM" or "-HH:MM" from UTC
};

struct MemRelease {
    void operator()(ExifMem *mem) const { exif_mem_unref(mem); }
};
struct DataRelease {
    void operator()(ExifData *data) const { exif_data_unref(data); }
};

// The local time and zone offset of `seconds`, as the zone rules in force
// then give them; nothing when the year is not one of four digits.
std::optional<LocalStamp> localStampOf(std::time_t seconds)
{
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr || local.tm_year < 1 - 1900 || local.tm_year > 9999 - 1900)
        return std::nullopt;
    char date[64];
    std::snprintf(date, sizeof date, "%04d:%02d:%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    const long minutes = std::labs(local.tm_gmtoff) / 60;
    char offset[32];
    std::snprintf(offset, sizeof offset, "%c%02ld:%02ld", local.tm_gmtoff < 0 ? '-' : '+', minutes / 60 % 100,
                  minutes % 60);
    return LocalStamp{date, offset};
}

// Adds to `folder` the entry `tag` holding a copy of `bytes`, counted as
// `format` values of one byte each (ASCII with its final zero, or UNDEFINED).
bool addEntry(ExifMem *mem, ExifContent *folder, ExifTag tag, ExifFormat format, const void *bytes, unsigned size)
{
    ExifEntry *entry = exif_entry_new_mem(mem);
    if (entry == nullptr)
        return false;
    entry->data = static_cast<unsigned char *>(exif_mem_alloc(mem, size));
    if (entry->data != nullptr) {
        std::memcpy(entry->data, bytes, size);
        entry->size = size;
        entry->tag = tag;
        entry->format = format;
        entry->components = size;
        exif_content_add_entry(folder, entry);
    }
    const bool added = entry->data != nullptr;
    exif_entry_unref(entry);
    return added;
}

bool addText(ExifMem *mem, ExifContent *folder, ExifTag tag, const std::string &text)
{
    return addEntry(mem, folder, tag, EXIF_FORMAT_ASCII, text.c_str(), unsigned(text.size() + 1));
}

// The tags, each folder's in ascending order as TIFF wants them.
bool addDateTags(ExifMem *mem, ExifData &data, const LocalStamp &stamp)
{
    ExifContent *image = data.ifd[EXIF_IFD_0];
    ExifContent *photo = data.ifd[EXIF_IFD_EXIF];
    return addText(mem, image, EXIF_TAG_DATE_TIME, stamp.dateTime)
           && addEntry(mem, photo, EXIF_TAG_EXIF_VERSION, EXIF_FORMAT_UNDEFINED, kExifVersion, sizeof kExifVersion)
           && addText(mem, photo, EXIF_TAG_DATE_TIME_ORIGINAL, stamp.dateTime)
           && addText(mem, photo, EXIF_TAG_OFFSET_TIME, stamp.offset)
           && addText(mem, photo, EXIF_TAG_OFFSET_TIME_ORIGINAL, stamp.offset);
}

// The body of the Exif segment ("Exif" header and TIFF structure) holding
// the mark and the date tags; empty when the library runs out of memory.
QByteArray exifBody(const std::optional<LocalStamp> &stamp)
{
    const std::unique_ptr<ExifMem, MemRelease> mem(exif_mem_new_default());
    const std::unique_ptr<ExifData, DataRelease> data(mem ? exif_data_new_mem(mem.get()) : nullptr);
    if (!data)
        return {};
    // Left on, libexif adds the tags Exif calls mandatory, some dated now, and
    // equal screenshots would no longer give equal bytes.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_set_byte_order(data.get(), EXIF_BYTE_ORDER_INTEL);
    // Software (0x131) goes before DateTime (0x132).
    if (!addText(mem.get(), data->ifd[EXIF_IFD_0], EXIF_TAG_SOFTWARE, kSoftwareMark)
        || (stamp && !addDateTags(mem.get(), *data, *stamp)))
        return {};
    unsigned char *bytes = nullptr;
    unsigned int size = 0;
    exif_data_save_data(data.get(), &bytes, &size);
    const QByteArray body(reinterpret_cast<const char *>(bytes), bytes ? qsizetype(size) : 0);
    exif_mem_free(mem.get(), bytes);
    return body;
}

} // namespace

QByteArray exifSegment(const std::optional<FileTime> &time)
{
    const QByteArray body = exifBody(time ? localStampOf(time->tv_sec) : std::nullopt);
    return body.isEmpty() ? QByteArray() : markerSegment(kApp1, body);
}

QByteArray withExif(const QByteArray &jpeg, const std::optional<FileTime> &time)
{
    return insertAfterJfifHeader(jpeg, exifSegment(time));
}

} // namespace grelm
