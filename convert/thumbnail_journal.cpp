#include "convert/thumbnail_journal.h"

#include "core/atomic_file.h"
#include "core/errors.h"
#include "core/file_ends.h"
#include "core/folder_listing.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace grelm {

namespace {

// Hidden, so that no listing counts it; its records are separated by NUL
// bytes, the one byte no file name holds. A journal of the first version
// recorded no bytes: its bitmaps are not known as the program's own.
const QByteArray kJournalName = QByteArrayLiteral(".grelm-thumbnails");
const QByteArray kMagic = QByteArrayLiteral("grelm thumbnails 2");
constexpr qint64 kMaxJournalBytes = 64 * 1024 * 1024;
constexpr int kFieldsPerRecord = 6;

// The whole journal file, or nothing when it is missing, not an ordinary file or too large.
QByteArray readBounded(const FilePath &path)
{
    const std::optional<OpenedFile> opened = openForReading(path, OpenRead::NoFollow);
    if (!opened || !opened->isRegular() || opened->status.st_size > kMaxJournalBytes)
        return {};
    QFile file;
    file.open(opened->fd.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
    return file.readAll();
}

// Reads the NUL-ended fields of a journal in place, one after another.
class Fields {
public:
    explicit Fields(const QByteArray &bytes) : m_bytes(bytes) {}
    bool next(QByteArrayView &field)
    {
        const qsizetype end = m_bytes.indexOf('\0', m_position);
        if (end < 0)
            return false;
        field = QByteArrayView(m_bytes).sliced(m_position, end - m_position);
        m_position = end + 1;
        return true;
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_position = 0;
};

bool isHexHash(QByteArrayView field)
{
    if (field.size() != 64)
        return false;
    for (const char c : field) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

// One record, as its fields spell it, but for its names and hash, which only
// the records that are kept need; false when it is damaged: a bitmap name or
// base that is not one plain file name (which could lead a write out of
// Thumbs), or numbers out of range.
bool parseRecord(const QByteArrayView (&f)[kFieldsPerRecord], ThumbnailJournal::Entry &entry)
{
    if (!isPlainFileName(f[0]) || !isPlainFileName(f[1]) || !isHexHash(f[5]))
        return false;
    bool secondsOk = false, nanosOk = false, sizeOk = false;
    entry.time = {f[2].toLongLong(&secondsOk), long(f[3].toLongLong(&nanosOk))};
    entry.content.size = f[4].toLongLong(&sizeOk);
    return secondsOk && nanosOk && sizeOk && entry.time.tv_nsec >= 0 && entry.time.tv_nsec < 1000000000
           && entry.content.size >= 0;
}

QByteArray recordBytes(const FilePath &name, const ThumbnailJournal::Entry &e)
{
    return name.bytes() + '\0' + e.base.bytes() + '\0' + QByteArray::number(qlonglong(e.time.tv_sec))
           + '\0' + QByteArray::number(qlonglong(e.time.tv_nsec)) + '\0' + QByteArray::number(e.content.size) + '\0'
           + e.content.sha256.toHex() + '\0';
}

[[noreturn]] void fail(const QString &what, const FilePath &path, int error)
{
    throw FileError(QStringLiteral("%1 %2: %3").arg(what, path.escapedText(), QString::fromLocal8Bit(std::strerror(error))).toStdString());
}

// Whether the file at `path` holds exactly the bytes `expected` names; it is
// not followed when it is a link.
bool holdsBytes(const FilePath &path, const ContentIdentity &expected)
{
    const std::optional<OpenedFile> opened = openForReading(path, OpenRead::NoFollow);
    if (!opened || !opened->isRegular() || opened->status.st_size != expected.size)
        return false;
    QFile file;
    file.open(opened->fd.get(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return hash.addData(&file) && hash.result() == expected.sha256;
}

} // namespace

ThumbnailJournal::~ThumbnailJournal()
{
    closeAppending();
}

ThumbnailJournal::ThumbnailJournal(ThumbnailJournal &&other) noexcept
    : m_folder(std::move(other.m_folder)), m_listed(std::move(other.m_listed)), m_entries(std::move(other.m_entries)),
      m_checked(std::move(other.m_checked)), m_appendFd(std::exchange(other.m_appendFd, -1)), m_within(other.m_within)
{
}

ThumbnailJournal &ThumbnailJournal::operator=(ThumbnailJournal &&other) noexcept
{
    if (this != &other) {
        closeAppending();
        m_folder = std::move(other.m_folder);
        m_listed = std::move(other.m_listed);
        m_entries = std::move(other.m_entries);
        m_checked = std::move(other.m_checked);
        m_appendFd = std::exchange(other.m_appendFd, -1);
        m_within = other.m_within;
    }
    return *this;
}

ThumbnailJournal ThumbnailJournal::read(const FilePath &thumbsFolder)
{
    ThumbnailJournal journal;
    journal.m_folder = thumbsFolder;
    for (const FilePath &name : folderEntryNames(thumbsFolder))
        journal.m_listed.insert(name);
    const QByteArray bytes = readBounded(thumbsFolder / kJournalName);
    Fields fields(bytes);
    QByteArrayView magic;
    if (!fields.next(magic) || magic != kMagic)
        return journal;
    // A damaged record ends the reading: what follows is not trusted. Only
    // the records of bitmaps still there are kept; the last record of a name
    // is the one that counts.
    QByteArrayView f[kFieldsPerRecord];
    for (;;) {
        int got = 0;
        while (got < kFieldsPerRecord && fields.next(f[got]))
            ++got;
        Entry entry;
        if (got < kFieldsPerRecord || !parseRecord(f, entry))
            break;
        const FilePath name(f[0].toByteArray());
        if (!journal.m_listed.contains(name))
            continue;
        entry.base = FilePath(f[1].toByteArray());
        entry.content.sha256 = QByteArray::fromHex(f[5].toByteArray());
        journal.m_entries.insert(name, entry);
    }
    return journal;
}

const ThumbnailJournal::Entry *ThumbnailJournal::find(const FilePath &name) const
{
    const auto found = m_entries.constFind(name);
    return found == m_entries.cend() ? nullptr : &*found;
}

const ThumbnailJournal::Entry *ThumbnailJournal::ownBitmap(const FilePath &name)
{
    const Entry *entry = find(name);
    if (!entry)
        return nullptr;
    auto checked = m_checked.constFind(name);
    if (checked == m_checked.cend())
        checked = m_checked.insert(name, holdsBytes(m_folder / name, entry->content));
    return *checked ? entry : nullptr;
}

void ThumbnailJournal::remove(const FilePath &name)
{
    m_entries.remove(name);
    m_checked.remove(name);
}

void ThumbnailJournal::save()
{
    closeAppending();
    const FileAt file = fileAt(m_within, journalPath());
    if (m_entries.isEmpty()) {
        if (::unlinkat(file.folder, file.name.constData(), 0) != 0 && errno != ENOENT)
            deleteFile(file); // reports why
        return;
    }
    writeWhole();
}

void ThumbnailJournal::writeWhole() const
{
    QList<FilePath> names = m_entries.keys();
    sortByText(names, Qt::CaseSensitive); // the same journal for the same bitmaps, whatever the hash's order
    QByteArray bytes = kMagic + '\0';
    for (const FilePath &name : names)
        bytes += recordBytes(name, m_entries[name]);
    writeFileAtomically(fileAt(m_within, journalPath()), bytes);
}

void ThumbnailJournal::append(const FilePath &name, const Entry &entry)
{
    const FileAt file = fileAt(m_within, journalPath());
    const FilePath &path = file.path;
    if (m_appendFd < 0) {
        writeWhole(); // also drops the records of bitmaps that are gone
        m_appendFd = openForAppending(file);
        if (m_appendFd < 0)
            fail(QStringLiteral("Cannot open"), path, errno);
    }
    // One write per record, so that a record is never split by another
    // command's; one cut short by a crash ends the reading there.
    const QByteArray record = recordBytes(name, entry);
    qsizetype done = 0;
    while (done < record.size()) {
        const ssize_t n = ::write(m_appendFd, record.constData() + done, size_t(record.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(QStringLiteral("Cannot write"), path, n < 0 ? errno : ENOSPC);
        done += n;
    }
    m_entries.insert(name, entry);
    m_checked.remove(name);
}

FilePath ThumbnailJournal::journalPath() const
{
    return m_folder / kJournalName;
}

void ThumbnailJournal::closeAppending()
{
    if (m_appendFd >= 0)
        ::close(std::exchange(m_appendFd, -1));
}

} // namespace grelm
