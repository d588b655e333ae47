#include "core/atomic_file.h"

#include "core/errors.h"

#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace grelm {

namespace {

[[noreturn]] void fail(const QString &what, const QString &path, int error)
{
    throw FileError(QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(error))).toStdString());
}

QString temporaryPathFor(const QString &path)
{
    static std::atomic<unsigned> serial{0};
    const QFileInfo info(path);
    // Hidden, so that a listing never counts or converts a half-written file.
    QByteArray name = '.' + QFile::encodeName(info.fileName());
    const QByteArray mark = QStringLiteral(".%1.%2.tmp").arg(::getpid()).arg(serial++).toUtf8();
    // A name near the file system's limit leaves no room for the marks: keep
    // its start, without a cut multi-byte character at the end.
    if (name.size() + mark.size() > NAME_MAX) {
        name.truncate(NAME_MAX - mark.size());
        while (name.size() > 1 && (static_cast<unsigned char>(name.back()) & 0x80))
            name.chop(1);
    }
    return info.path() + QLatin1Char('/') + QFile::decodeName(name + mark);
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

QString lastSystemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

void writeFileAtomically(const QString &path, const QByteArray &data, bool syncToDisk)
{
    const QString temp = temporaryPathFor(path);
    const QByteArray tempName = QFile::encodeName(temp);
    const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail(QStringLiteral("Cannot create"), path, errno);
    bool ok = writeAll(fd, data) && (!syncToDisk || ::fsync(fd) == 0);
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(tempName.constData(), QFile::encodeName(path).constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(tempName.constData());
        fail(QStringLiteral("Cannot write"), path, error);
    }
}

void syncFileToDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fail(QStringLiteral("Cannot open"), path, errno);
    const bool ok = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!ok)
        fail(QStringLiteral("Cannot flush"), path, error);
}

void deleteFile(const QString &path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0)
        fail(QStringLiteral("Cannot delete"), path, errno);
}

} // namespace grelm
