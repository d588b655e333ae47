#pragma once

#include "core/file_stamp.h"
#include "core/held_folder.h"

#include <QString>

#include <chrono>
#include <optional>
#include <vector>

namespace grelm {

/// Screenshots waiting to be deleted until both of their JPEGs are on the
/// disk. Flushing costs the disk one commit per call on most file systems,
/// so screenshots are deleted in groups: every JPEG of the group is flushed,
/// then each folder they lie in, once; then each screenshot that is still the
/// file its JPEGs were made from, and that no process holds open for writing
/// (core/write_lease.h), is deleted, and any other is kept.
class DeletionGroup {
public:
    /// One screenshot and the two JPEGs that must be on the disk before it goes.
    struct Pending {
        FilePath screenshot;
        std::optional<FileStamp> converted; ///< the file its JPEGs were made from
        FilePath jpeg;
        FilePath thumbnailJpeg;
    };

    /// Flushes and deletes only within `within` when given (see WriteFolders),
    /// which must outlive the group.
    explicit DeletionGroup(const WriteFolders *within = nullptr) : m_within(within) {}

    static constexpr std::size_t kMostFiles = 256;
    static constexpr std::chrono::milliseconds kLongestWait{1000};

    void add(Pending pending);
    /// Flushes and deletes once the group holds kMostFiles screenshots or its
    /// first one has waited kLongestWait.
    int flushWhenDue();
    /// Flushes and deletes whatever is pending; returns how many screenshots
    /// were deleted. Throws FileError when a flush or a deletion fails, with
    /// nothing of the group deleted after that.
    int flush();

private:
    void syncFolders(const QList<FilePath> &folders) const;

    const WriteFolders *m_within = nullptr;
    std::vector<Pending> m_pending;
    std::chrono::steady_clock::time_point m_firstAdded;
};

} // namespace grelm
