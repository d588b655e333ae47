#pragma once

#include "core/file_stamp.h"
#include "core/held_folder.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace grelm {

/// Writes `data` to `path` whole or not at all: the bytes go to a new hidden
/// file beside it, created exclusively under a name with a random part (so a
/// link planted there is never followed), which is renamed over `path` only
/// once complete. With `syncToDisk` the data reach the disk before the rename;
/// with `modified` the file carries that modification time from before it
/// takes its name (best effort: a file system that refuses it keeps the time
/// of writing). On failure nothing is left behind, an older file of that name
/// is untouched, and FileError says why.
void writeFileAtomically(const FilePath &path, const QByteArray &data, bool syncToDisk = false,
                         const std::optional<FileTime> &modified = std::nullopt);
/// The same within the folder `file` holds.
void writeFileAtomically(const FileAt &file, const QByteArray &data, bool syncToDisk = false,
                         const std::optional<FileTime> &modified = std::nullopt);

/// A file written as writeFileAtomically writes it, in two steps that may run
/// on different threads: stage() leaves the complete bytes under the hidden
/// temporary name, commit() then gives them their name. A staged file that is
/// never committed is removed (by discard(), by staging another, or when the
/// object goes), so that a file decided against is never seen.
class StagedFile {
public:
    StagedFile() = default;
    ~StagedFile() { discard(); }
    StagedFile(StagedFile &&other) noexcept;
    StagedFile &operator=(StagedFile &&other) noexcept;
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    /// Writes `data` beside `path`, as writeFileAtomically does before its
    /// rename; throws FileError, leaving nothing behind, on failure.
    void stage(const FilePath &path, const QByteArray &data, bool syncToDisk = false,
               const std::optional<FileTime> &modified = std::nullopt);
    /// The same for the file `file` names: its hidden file is made, renamed
    /// and removed within the folder `file` holds, which must stay open
    /// until the staged file is committed or discarded.
    void stage(const FileAt &file, const QByteArray &data, bool syncToDisk = false,
               const std::optional<FileTime> &modified = std::nullopt);
    bool isStaged() const { return !m_temporary.isEmpty(); }
    /// Renames the staged bytes over the path; throws FileError, removing them, on failure.
    void commit();
    void discard();

private:
    FileAt m_file;
    QByteArray m_temporary; // within m_file's folder
};

/// Whether `name`, a file name without its folder, is one that staging gives
/// its hidden files: "." + the name it is written for (cut short when long) +
/// "." + 16 lower-case hexadecimal digits + ".tmp".
bool isStagingName(const QByteArray &name);

/// Flushes a file or folder that was written earlier to the disk; throws
/// FileError on failure, also when something else than a file or folder has taken its name.
void syncFileToDisk(const FilePath &path);
void syncFileToDisk(const FileAt &file);

/// Opens the file `file` names for appending, never following a link; a
/// negative descriptor, with errno saying why, when it cannot.
int openForAppending(const FileAt &file);

/// Deletes a file; throws FileError when it does not exist or cannot be deleted.
void deleteFile(const FilePath &path);
void deleteFile(const FileAt &file);

} // namespace grelm
