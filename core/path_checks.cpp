#include "core/path_checks.h"

#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <sys/statvfs.h>

namespace grelm {

bool isFolder(const FilePath &path)
{
    struct stat info {};
    return ::stat(path.data(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isFolderNotLink(const FilePath &path)
{
    struct stat info {};
    return ::lstat(path.data(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isRegularFileNotLink(const FilePath &path)
{
    struct stat info {};
    return ::lstat(path.data(), &info) == 0 && S_ISREG(info.st_mode);
}

std::uint64_t freeBytes(const FilePath &path)
{
    struct statvfs info {};
    if (::statvfs(path.data(), &info) != 0)
        return 0;
    return std::uint64_t(info.f_bavail) * info.f_frsize;
}

std::optional<FilePath> canonicalFolder(const FilePath &path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path canonical = fs::canonical(fs::path(path.bytes().toStdString()), error);
    if (error || !fs::is_directory(canonical, error))
        return std::nullopt;
    return FilePath(QByteArray::fromStdString(canonical.native()));
}

} // namespace grelm
