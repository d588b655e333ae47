#include "imaging/convert_pass_files.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

namespace grelm {

std::optional<FileStamp> fileStamp(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim};
}

std::optional<FileTime> modificationTime(const QString &path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return info.st_mtim;
}

void keepModificationTime(const QString &path, const std::optional<FileTime> &time)
{
    if (!time)
        return;
    const std::timespec times[2] = {{0, UTIME_OMIT}, *time};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

} // namespace grelm
