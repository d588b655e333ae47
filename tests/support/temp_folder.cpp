#include "support/temp_folder.h"


#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace grelm::test {

TempFolder::~TempFolder()
{
    std::error_code error;
    std::filesystem::remove_all(filePath().bytes().toStdString(), error);
}

QString TempFolder::write(const QString &name, const QByteArray &bytes) const
{
    const QString path = file(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

QByteArray TempFolder::read(const QString &name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool TempFolder::exists(const QString &name) const
{
    return QFileInfo::exists(file(name));
}

} // namespace grelm::test

void grelm::test::TempFolder::setModified(const QString &name, long long seconds, long nanoseconds) const
{
    const std::timespec times[2] = {{0, UTIME_OMIT}, {time_t(seconds), nanoseconds}};
    ::utimensat(AT_FDCWD, QFile::encodeName(file(name)).constData(), times, AT_SYMLINK_NOFOLLOW);
}

namespace grelm::test {

namespace {

QByteArray rawPath(const TempFolder &dir, const QByteArray &name)
{
    return (dir.filePath() / name).bytes();
}

} // namespace

FilePath TempFolder::writeRaw(const QByteArray &name, const QByteArray &bytes) const
{
    const int fd = ::open(rawPath(*this, name).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, bytes.constData(), size_t(bytes.size()));
        ::close(fd);
    }
    return FilePath(rawPath(*this, name));
}

FilePath TempFolder::mkdirRaw(const QByteArray &name) const
{
    ::mkdir(rawPath(*this, name).constData(), 0755);
    return FilePath(rawPath(*this, name));
}

bool TempFolder::existsRaw(const QByteArray &name) const
{
    struct stat info {};
    return ::lstat(rawPath(*this, name).constData(), &info) == 0;
}

QByteArray TempFolder::readRaw(const QByteArray &name) const
{
    const int fd = ::open(rawPath(*this, name).constData(), O_RDONLY | O_CLOEXEC);
    QFile f;
    if (fd < 0 || !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return {};
    return f.readAll();
}

} // namespace grelm::test
