#pragma once

#include "core/file_path.h"

#include <QString>

#include <vector>

namespace grelm {

/// What the kernel says happened in a watched folder.
struct FolderEvent {
    enum class Kind {
        Arrived,  ///< a file was closed after writing, or moved in
        Overflow, ///< events were lost: only a full look at the folder tells what changed
        Gone,     ///< the folder itself was deleted, moved away or unmounted
    };
    Kind kind = Kind::Arrived;
    FilePath name; ///< the file's name, for Arrived
};

/// The events of one folder through inotify, read without waiting; a caller
/// waits for them with poll() on descriptor().
class FolderEvents {
public:
    /// Watches `folder`; valid() is false when inotify cannot be set up (no
    /// descriptor left, the user's watch limit reached, no such folder), and
    /// `error` then says why.
    explicit FolderEvents(const FilePath &folder);
    ~FolderEvents();
    FolderEvents(const FolderEvents &) = delete;
    FolderEvents &operator=(const FolderEvents &) = delete;

    bool valid() const { return m_watch >= 0; }
    QString error() const { return m_error; }
    int descriptor() const { return m_fd; }
    /// The events that have come; none when none is waiting.
    std::vector<FolderEvent> take();

private:
    int m_fd = -1;
    int m_watch = -1;
    QString m_error;
};

} // namespace grelm
