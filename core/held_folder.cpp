#include "core/held_folder.h"

#include "core/errors.h"
#include "core/file_names.h"

#include <cerrno>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace grelm {

namespace {

bool isPlainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(u'/');
}

} // namespace

FileAt FileAt::ofPath(const QString &path)
{
    return FileAt{AT_FDCWD, encodeFileName(path), path};
}

std::optional<HeldFolder> HeldFolder::open(const QString &path)
{
    const int fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    return HeldFolder(fd, path);
}

std::optional<HeldFolder> HeldFolder::open(const HeldFolder &parent, const QString &name)
{
    const int fd = ::openat(parent.m_fd, encodeFileName(name).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    return HeldFolder(fd, parent.m_path + u'/' + name);
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
    return ::fstat(m_fd, &held) == 0 && ::stat(encodeFileName(m_path).constData(), &named) == 0
           && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

std::optional<FileAt> HeldFolder::fileAt(const QString &path) const
{
    const QString prefix = m_path + u'/';
    if (!path.startsWith(prefix))
        return std::nullopt;
    const QString name = path.mid(prefix.size());
    if (!isPlainName(name))
        return std::nullopt;
    return FileAt{m_fd, encodeFileName(name), path};
}

void HeldFolder::sync() const
{
    if (::fsync(m_fd) != 0)
        throw FileError(QStringLiteral("Cannot flush %1: %2")
                            .arg(m_path, QString::fromLocal8Bit(std::strerror(errno)))
                            .toStdString());
}

void WriteFolders::restrict()
{
    m_folders.clear();
    m_restricted = true;
}

const HeldFolder *WriteFolders::find(const QString &folderPath) const
{
    for (const HeldFolder &folder : m_folders) {
        if (folder.path() == folderPath)
            return &folder;
    }
    return nullptr;
}

FileAt WriteFolders::fileAt(const QString &path) const
{
    for (const HeldFolder &folder : m_folders) {
        if (std::optional<FileAt> file = folder.fileAt(path))
            return *std::move(file);
    }
    throw FileError("Not in a folder of the command: " + encodeFileName(path).toStdString());
}

FileAt fileAt(const WriteFolders *folders, const QString &path)
{
    return folders && folders->restricted() ? folders->fileAt(path) : FileAt::ofPath(path);
}

} // namespace grelm
