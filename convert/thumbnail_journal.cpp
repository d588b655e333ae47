#include "convert/thumbnail_journal.h"

#include "core/file_names.h"
#include "core/atomic_file.h"
#include "core/folder_listing.h"

#include <QByteArrayList>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace grelm {

namespace {

// Hidden, so that no listing counts it; its records are separated by NUL
// bytes, the one byte no file name holds.
const QString kJournalName = QStringLiteral(".grelm-thumbnails");
const QByteArray kMagic = QByteArrayLiteral("grelm thumbnails 1");
constexpr qint64 kMaxJournalBytes = 64 * 1024 * 1024;

// The whole journal file, or nothing when it is missing, not an ordinary file or too large.
QByteArray readBounded(const QString &path)
{
    const int fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxJournalBytes)
        return {};
    return file.readAll();
}

std::optional<FileTime> bitmapTime(const QString &path)
{
    struct stat info {};
    if (::lstat(encodeFileName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return info.st_mtim;
}

} // namespace

ThumbnailJournal ThumbnailJournal::read(const QString &thumbsFolder)
{
    ThumbnailJournal journal;
    journal.m_folder = thumbsFolder;
    const QByteArrayList fields = readBounded(joinPath(thumbsFolder, kJournalName)).split('\0');
    if (fields.isEmpty() || fields.first() != kMagic)
        return journal;
    // Records of four fields: bitmap name, base, seconds, nanoseconds. A
    // damaged record ends the reading: what follows is not trusted.
    for (qsizetype i = 1; i + 3 < fields.size(); i += 4) {
        bool secondsOk = false, nanosOk = false;
        const FileTime time{fields[i + 2].toLongLong(&secondsOk), fields[i + 3].toLong(&nanosOk)};
        if (fields[i].isEmpty() || !secondsOk || !nanosOk)
            break;
        journal.m_entries.insert(decodeFileName(fields[i]), {decodeFileName(fields[i + 1]), time});
    }
    return journal;
}

const ThumbnailJournal::Entry *ThumbnailJournal::ownBitmap(const QString &name) const
{
    const auto found = m_entries.constFind(name);
    if (found == m_entries.cend())
        return nullptr;
    const std::optional<FileTime> time = bitmapTime(joinPath(m_folder, name));
    return time && sameTime(*time, found->time) ? &*found : nullptr;
}

void ThumbnailJournal::dropVanished()
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (ownBitmap(it.key()))
            ++it;
        else
            it = m_entries.erase(it);
    }
}

void ThumbnailJournal::save() const
{
    const QString path = joinPath(m_folder, kJournalName);
    if (m_entries.isEmpty()) {
        if (::unlink(encodeFileName(path).constData()) != 0 && errno != ENOENT)
            deleteFile(path); // reports why
        return;
    }
    QStringList names = m_entries.keys();
    names.sort(); // the same journal for the same bitmaps, whatever the hash's order
    QByteArray bytes = kMagic + '\0';
    for (const QString &name : names) {
        const Entry &e = m_entries[name];
        bytes += encodeFileName(name) + '\0' + encodeFileName(e.base) + '\0';
        bytes += QByteArray::number(qlonglong(e.time.tv_sec)) + '\0' + QByteArray::number(qlonglong(e.time.tv_nsec)) + '\0';
    }
    writeFileAtomically(path, bytes);
}

} // namespace grelm
