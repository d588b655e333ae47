#include "core/file_stamp.h"

#include "core/errors.h"

#include <sys/stat.h>

namespace grelm {

namespace {

FileStamp fromStat(const struct stat &info)
{
    return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

} // namespace

std::optional<FileStamp> fileStamp(const FilePath &path)
{
    struct stat info {};
    if (::stat(path.data(), &info) != 0)
        return std::nullopt;
    return fromStat(info);
}

std::optional<FileStamp> fileStampNotFollowing(const FilePath &path)
{
    struct stat info {};
    if (::lstat(path.data(), &info) != 0)
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

bool pathExists(const FilePath &path)
{
    struct stat info {};
    return ::lstat(path.data(), &info) == 0;
}

void FolderAtStart::requireUnchanged() const
{
    if (!stamp)
        return;
    const std::optional<FileStamp> now = fileStamp(path);
    if (!now)
        throw FileError("The folder " + path.bytes().toStdString() + " is gone");
    if (now->device != stamp->device || now->inode != stamp->inode)
        throw FileError("The folder " + path.bytes().toStdString() + " is no longer the one the command started in");
}

bool fileUnchanged(const FilePath &path, const std::optional<FileStamp> &expected)
{
    return fileUnchanged(FileAt::ofPath(path), expected);
}

bool fileUnchanged(const FileAt &file, const std::optional<FileStamp> &expected)
{
    struct stat info {};
    return expected && ::fstatat(file.folder, file.name.constData(), &info, 0) == 0 && fromStat(info) == *expected;
}

} // namespace grelm
