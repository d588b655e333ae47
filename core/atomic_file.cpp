#include "core/atomic_file.h"

#include "core/errors.h"

#include <QFileInfo>

#include <cerrno>
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
    const QFileInfo info(path);
    // Hidden, so that a listing never counts or converts a half-written file.
    return info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".%1.tmp").arg(::getpid());
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
