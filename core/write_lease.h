#pragma once

#include "core/held_folder.h"

#include <QHash>
#include <QString>

namespace grelm {

/// What a read lease tells of a file's writers.
enum class WriterState {
    None,    ///< no process holds it open for writing
    Writing, ///< the lease was refused: some process holds it open for writing
    Unknown, ///< no lease here (the file system, a file of another user) or no such file
};

/// Takes a read lease on `path` through a read-only descriptor and gives it
/// back at once: the kernel refuses one (EAGAIN) while any process holds the
/// file open for writing. A lease kept would make the next writer wait, so
/// none outlives the call; SIGIO, which a broken lease raises, is ignored.
WriterState writerState(const FilePath &path);
/// The same through `fd`, a descriptor the caller opened read-only.
WriterState writerState(int fd);

/// Whether leases tell writers apart in `folder`: a lease on a hidden file of
/// the program's own, made there and removed at once, is granted. Some network
/// file systems refuse every lease, which would keep every file "being written".
bool leasesWorkIn(const FilePath &folder);
/// The same with the probe made and removed within the folder `within`
/// holds (AT_FDCWD: the current folder).
bool leasesWorkIn(int within, const FilePath &folder);

/// The lease check with each folder's answer of leasesWorkIn kept, for a
/// command that looks at many files.
class WriterCheck {
public:
    /// True when a process is writing the file as far as leases can tell: the
    /// lease is refused and leases work in its folder. Where leases say
    /// nothing, the caller's own rule (stamps, settling) must decide.
    bool beingWritten(const FilePath &path);
    /// The same for the file `file` names, looked at and probed through its folder.
    bool beingWritten(const FileAt &file);
    /// leasesWorkIn(folder), asked once per folder.
    bool leasesWorkIn(const FilePath &folder);

private:
    QHash<FilePath, bool> m_folders;
};

} // namespace grelm
