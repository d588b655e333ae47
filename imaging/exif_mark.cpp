#include "imaging/exif_mark.h"

#include "core/file_ends.h"
#include "imaging/exif_dates.h"


#include <libexif/exif-data.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace grelm {

namespace {

constexpr unsigned char kMarkerPrefix = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kFirstApp = 0xE0;
constexpr unsigned char kApp1 = 0xE1;
constexpr unsigned char kLastApp = 0xEF;
// The program puts its Exif segment right after the JFIF header; another
// tool's may follow a few more application segments.
constexpr int kMostSegments = 8;

// Reads exactly `size` bytes at `offset`; false at the end of the file or on an error.
bool readAt(int fd, off_t offset, void *to, std::size_t size)
{
    auto *p = static_cast<char *>(to);
    while (size > 0) {
        const ssize_t n = ::pread(fd, p, size, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        offset += n;
        size -= std::size_t(n);
    }
    return true;
}

} // namespace

bool exifCarriesProgramMark(const QByteArray &body)
{
    ExifData *data = exif_data_new();
    if (data == nullptr)
        return false;
    // Read as stored: left on, libexif would add the tags Exif calls mandatory.
    exif_data_unset_option(data, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(data, reinterpret_cast<const unsigned char *>(body.constData()), unsigned(body.size()));
    const ExifEntry *software = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_SOFTWARE);
    const bool marked = software != nullptr && software->format == EXIF_FORMAT_ASCII && software->data != nullptr
                        && software->size == sizeof kSoftwareMark
                        && std::memcmp(software->data, kSoftwareMark, sizeof kSoftwareMark) == 0;
    exif_data_unref(data);
    return marked;
}

bool fileCarriesProgramMark(const FilePath &path)
{
    const std::optional<OpenedFile> opened = openForReading(path, OpenRead::NoFollow);
    if (!opened || !opened->isRegular())
        return false;
    const int fd = opened->fd.get();
    unsigned char start[2];
    if (!readAt(fd, 0, start, sizeof start) || start[0] != kMarkerPrefix || start[1] != kStartOfImage)
        return false;
    off_t at = sizeof start;
    for (int segment = 0; segment < kMostSegments; ++segment) {
        unsigned char head[4];
        if (!readAt(fd, at, head, sizeof head) || head[0] != kMarkerPrefix || head[1] < kFirstApp
            || head[1] > kLastApp)
            return false;
        const int length = head[2] << 8 | head[3]; // counts itself
        if (length < 2)
            return false;
        if (head[1] == kApp1) {
            QByteArray body(length - 2, Qt::Uninitialized);
            if (!readAt(fd, at + off_t(sizeof head), body.data(), std::size_t(body.size())))
                return false;
            if (body.startsWith(QByteArray("Exif\0\0", 6)))
                return exifCarriesProgramMark(body);
        }
        at += 2 + length;
    }
    return false;
}

} // namespace grelm
