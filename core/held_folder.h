#pragma once

#include "core/file_path.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace grelm {

/// One file named within a folder: the folder's descriptor (AT_FDCWD for the
/// current folder, with `name` then a whole path) and the name in it, as the
/// *at() calls take them, and the path that messages show.
struct FileAt {
    int folder = -100; // AT_FDCWD
    QByteArray name;
    FilePath path;

    /// The file at `path`, reached through each folder of the path as it is
    /// at the moment of each call.
    static FileAt ofPath(const FilePath &path);
};

/// A folder a command opened once (links followed) and writes in through its
/// descriptor: a folder of its path replaced, or made a link to another one,
/// while the command runs never takes a file written, renamed or deleted
/// there somewhere else.
class HeldFolder {
public:
    /// Opens `path`; nothing when it is no folder that can be opened.
    static std::optional<HeldFolder> open(const FilePath &path);
    /// Opens the entry `name` of `parent`, following a link there.
    static std::optional<HeldFolder> open(const HeldFolder &parent, const FilePath &name);

    HeldFolder(HeldFolder &&other) noexcept;
    HeldFolder &operator=(HeldFolder &&other) noexcept;
    HeldFolder(const HeldFolder &) = delete;
    HeldFolder &operator=(const HeldFolder &) = delete;
    ~HeldFolder();

    int descriptor() const { return m_fd; }
    const FilePath &path() const { return m_path; }
    /// Whether `path` still names this folder (the same device and inode).
    bool stillAtPath() const;
    /// The file `path` names, when its folder is this one's path and its name
    /// is one plain name; nothing otherwise.
    std::optional<FileAt> fileAt(const FilePath &path) const;
    /// Makes the folder `name` in this one unless something (of any kind, a
    /// link included) already has that name; false, with errno saying why,
    /// when it cannot.
    bool makeFolderUnlessTaken(const FilePath &name) const;
    /// Flushes the folder's entries to the disk; throws FileError on failure.
    void sync() const;

private:
    HeldFolder(int fd, FilePath path) : m_fd(fd), m_path(std::move(path)) {}
    int m_fd = -1;
    FilePath m_path;
};

/// The folders a command writes in. Once restricted, a file of a path that
/// lies directly in none of them is refused with FileError, so that no name
/// can lead a write elsewhere; until then paths are used as they are.
class WriteFolders {
public:
    /// Writes go only to the folders held from now on: none yet.
    void restrict();
    void hold(HeldFolder folder) { m_folders.push_back(std::move(folder)); }
    bool restricted() const { return m_restricted; }
    /// The held folder of that path, or nothing.
    const HeldFolder *find(const FilePath &folderPath) const;
    /// The file `path` names within its held folder; see the class.
    FileAt fileAt(const FilePath &path) const;

private:
    std::vector<HeldFolder> m_folders;
    bool m_restricted = false;
};

/// `path` within `folders` when they are restricted (see WriteFolders), else as a path.
FileAt fileAt(const WriteFolders *folders, const FilePath &path);

} // namespace grelm
