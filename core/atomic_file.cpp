#include "core/atomic_file.h"

#include "core/errors.h"


#include <chrono>
#include <cstdint>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace grelm {

namespace {

[[noreturn]] void fail(const QString &what, const FilePath &path, int error)
{
    throw FileError(QStringLiteral("%1 %2: %3").arg(what, path.escapedText(), QString::fromLocal8Bit(std::strerror(error))).toStdString());
}

constexpr qsizetype kRandomDigits = 16;
constexpr char kStagingSuffix[] = ".tmp";

// A hidden name beside `name` (a name within its folder, or a whole path)
// with a random part: a listing never counts or converts a half-written file,
// and nobody can guess the name ahead.
QByteArray temporaryNameFor(const QByteArray &name)
{
    std::uint64_t random = 0;
    if (::getrandom(&random, sizeof random, 0) != sizeof random)
        random = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^ std::uint64_t(::getpid());
    const qsizetype slash = name.lastIndexOf('/');
    QByteArray hidden = '.' + name.mid(slash + 1);
    const QByteArray mark = '.' + QByteArray::number(qulonglong(random), 16).rightJustified(kRandomDigits, '0') + kStagingSuffix;
    // A name near the file system's limit leaves no room for the marks: keep
    // its start, without a cut multi-byte character at the end.
    if (hidden.size() + mark.size() > NAME_MAX) {
        hidden.truncate(NAME_MAX - mark.size());
        while (hidden.size() > 1 && (static_cast<unsigned char>(hidden.back()) & 0x80))
            hidden.chop(1);
    }
    return name.left(slash + 1) + hidden + mark;
}

// Creates a new temporary file beside `file`; never opens an existing file or
// follows a link. Returns the descriptor and sets `tempName`.
int createTemporary(const FileAt &file, QByteArray &tempName)
{
    for (int attempt = 0;; ++attempt) {
        tempName = temporaryNameFor(file.name);
        const int fd = ::openat(file.folder, tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST || attempt == 8)
            return fd;
    }
}

void setModified(int fd, const std::optional<FileTime> &modified)
{
    if (!modified)
        return;
    const std::timespec times[2] = {{0, UTIME_OMIT}, *modified};
    ::futimens(fd, times);
}

bool writeAll(int fd, const QByteArray &data)
{
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

} // namespace

void writeFileAtomically(const FilePath &path, const QByteArray &data, bool syncToDisk,
                         const std::optional<FileTime> &modified)
{
    writeFileAtomically(FileAt::ofPath(path), data, syncToDisk, modified);
}

void writeFileAtomically(const FileAt &file, const QByteArray &data, bool syncToDisk,
                         const std::optional<FileTime> &modified)
{
    StagedFile staged;
    staged.stage(file, data, syncToDisk, modified);
    staged.commit();
}

StagedFile::StagedFile(StagedFile &&other) noexcept
    : m_file(std::move(other.m_file)), m_temporary(std::exchange(other.m_temporary, QByteArray()))
{
}

StagedFile &StagedFile::operator=(StagedFile &&other) noexcept
{
    if (this != &other) {
        discard();
        m_file = std::move(other.m_file);
        m_temporary = std::exchange(other.m_temporary, QByteArray());
    }
    return *this;
}

void StagedFile::stage(const FilePath &path, const QByteArray &data, bool syncToDisk,
                       const std::optional<FileTime> &modified)
{
    stage(FileAt::ofPath(path), data, syncToDisk, modified);
}

void StagedFile::stage(const FileAt &file, const QByteArray &data, bool syncToDisk,
                       const std::optional<FileTime> &modified)
{
    discard();
    const FilePath &path = file.path;
    QByteArray tempName;
    const int fd = createTemporary(file, tempName);
    if (fd < 0)
        fail(QStringLiteral("Cannot create"), path, errno);
    bool ok = writeAll(fd, data) && (!syncToDisk || ::fsync(fd) == 0);
    if (ok)
        setModified(fd, modified);
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlinkat(file.folder, tempName.constData(), 0);
        fail(QStringLiteral("Cannot write"), path, error);
    }
    m_file = file;
    m_temporary = tempName;
}

void StagedFile::commit()
{
    const QByteArray temporary = std::exchange(m_temporary, QByteArray());
    if (::renameat(m_file.folder, temporary.constData(), m_file.folder, m_file.name.constData()) != 0) {
        const int error = errno;
        ::unlinkat(m_file.folder, temporary.constData(), 0);
        fail(QStringLiteral("Cannot write"), m_file.path, error);
    }
}

void StagedFile::discard()
{
    if (!m_temporary.isEmpty())
        ::unlinkat(m_file.folder, std::exchange(m_temporary, QByteArray()).constData(), 0);
}

bool isStagingName(const QByteArray &name)
{
    const qsizetype suffix = qsizetype(sizeof kStagingSuffix) - 1;
    const qsizetype digitsAt = name.size() - suffix - kRandomDigits;
    if (digitsAt < 2 || name[0] != '.' || name[digitsAt - 1] != '.' || !name.endsWith(kStagingSuffix))
        return false;
    for (qsizetype i = digitsAt; i < digitsAt + kRandomDigits; ++i) {
        if (!((name[i] >= '0' && name[i] <= '9') || (name[i] >= 'a' && name[i] <= 'f')))
            return false;
    }
    return true;
}

void syncFileToDisk(const FilePath &path)
{
    syncFileToDisk(FileAt::ofPath(path));
}

void syncFileToDisk(const FileAt &file)
{
    const FilePath &path = file.path;
    // A name within a held folder is never followed out of it; a path is
    // opened as it leads. Only a file or a folder is flushed: a pipe or
    // device that took the name since it was written is refused, and
    // opening does not wait for a pipe's writer.
    const int fd = ::openat(file.folder, file.name.constData(),
                            O_RDONLY | O_NONBLOCK | O_CLOEXEC | (file.folder == AT_FDCWD ? 0 : O_NOFOLLOW));
    if (fd < 0)
        fail(QStringLiteral("Cannot open"), path, errno);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))) {
        ::close(fd);
        fail(QStringLiteral("Cannot flush"), path, EINVAL);
    }
    const bool ok = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!ok)
        fail(QStringLiteral("Cannot flush"), path, error);
}

int openForAppending(const FileAt &file)
{
    return ::openat(file.folder, file.name.constData(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
}

void deleteFile(const FilePath &path)
{
    deleteFile(FileAt::ofPath(path));
}

void deleteFile(const FileAt &file)
{
    if (::unlinkat(file.folder, file.name.constData(), 0) != 0)
        fail(QStringLiteral("Cannot delete"), file.path, errno);
}

} // namespace grelm
