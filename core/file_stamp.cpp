#include "core/file_stamp.h"

#include "core/errors.h"
#include "core/file_names.h"

#include <QFile>

#include <sys/stat.h>

namespace grelm {

namespace {

FileStamp fromStat(const struct stat &info)
{
    return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

} // namespace

std::optional<FileStamp> fileStamp(const QString &path)
{
    struct stat info {};
    if (::stat(encodeFileName(path).constData(), &info) != 0)
        return std::nullopt;
    return fromStat(info);
}

std::optional<FileStamp> fileStamp(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return std::nullopt;
    return fromStat(info);
}

bool pathExists(const QString &path)
{
    struct stat info {};
    return ::lstat(encodeFileName(path).constData(), &info) == 0;
}

void FolderAtStart::requireUnchanged() const
{
    if (!stamp)
        return;
    const std::optional<FileStamp> now = fileStamp(path);
    if (!now)
        throw FileError("The folder " + encodeFileName(path).toStdString() + " is gone");
    if (now->device != stamp->device || now->inode != stamp->inode)
        throw FileError("The folder " + encodeFileName(path).toStdString() + " is no longer the one the command started in");
}

bool fileUnchanged(const QString &path, const std::optional<FileStamp> &expected)
{
    return fileUnchanged(FileAt::ofPath(path), expected);
}

bool fileUnchanged(const FileAt &file, const std::optional<FileStamp> &expected)
{
    struct stat info {};
    return expected && ::fstatat(file.folder, file.name.constData(), &info, 0) == 0 && fromStat(info) == *expected;
}

} // namespace grelm
