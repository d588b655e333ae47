#include "core/held_folder.h"

#include "core/errors.h"

#include <cerrno>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace grelm {

FileAt FileAt::ofPath(const FilePath &path)
{
    return FileAt{AT_FDCWD, path.bytes(), path};
}

std::optional<HeldFolder> HeldFolder::open(const FilePath &path)
{
    const int fd = ::open(path.data(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    return HeldFolder(fd, path);
}

std::optional<HeldFolder> HeldFolder::open(const HeldFolder &parent, const FilePath &name)
{
    const int fd = ::openat(parent.m_fd, name.data(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    return HeldFolder(fd, parent.m_path / name);
}

HeldFolder::HeldFolder(HeldFolder &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_path(std::move(other.m_path))
{
}

HeldFolder &HeldFolder::operator=(HeldFolder &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_path = std::move(other.m_path);
    }
    return *this;
}

HeldFolder::~HeldFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool HeldFolder::stillAtPath() const
{
    struct stat held {}, named {};
    return ::fstat(m_fd, &held) == 0 && ::stat(m_path.data(), &named) == 0
           && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

std::optional<FileAt> HeldFolder::fileAt(const FilePath &path) const
{
    const QByteArray prefix = (m_path / "").bytes();
    if (!path.bytes().startsWith(prefix))
        return std::nullopt;
    const FilePath name(path.bytes().mid(prefix.size()));
    if (!name.isPlainName())
        return std::nullopt;
    return FileAt{m_fd, name.bytes(), path};
}

bool HeldFolder::makeFolderUnlessTaken(const FilePath &name) const
{
    struct stat info {};
    return ::fstatat(m_fd, name.data(), &info, AT_SYMLINK_NOFOLLOW) == 0 || ::mkdirat(m_fd, name.data(), 0777) == 0;
}

void HeldFolder::sync() const
{
    if (::fsync(m_fd) != 0)
        throw FileError(QStringLiteral("Cannot flush %1: %2")
                            .arg(m_path.escapedText(), QString::fromLocal8Bit(std::strerror(errno)))
                            .toStdString());
}

void WriteFolders::restrict()
{
    m_folders.clear();
    m_restricted = true;
}

const HeldFolder *WriteFolders::find(const FilePath &folderPath) const
{
    for (const HeldFolder &folder : m_folders) {
        if (folder.path() == folderPath)
            return &folder;
    }
    return nullptr;
}

FileAt WriteFolders::fileAt(const FilePath &path) const
{
    for (const HeldFolder &folder : m_folders) {
        if (std::optional<FileAt> file = folder.fileAt(path))
            return *std::move(file);
    }
    throw FileError("Not in a folder of the command: " + path.bytes().toStdString());
}

FileAt fileAt(const WriteFolders *folders, const FilePath &path)
{
    return folders && folders->restricted() ? folders->fileAt(path) : FileAt::ofPath(path);
}

} // namespace grelm
