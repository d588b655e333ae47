#pragma once

#include "convert/deletion_group.h"
#include "convert/thumbnail_journal.h"
#include "convert/thumbnails_ahead.h"
#include "core/messages.h"
#include "core/file_stamp.h"
#include "core/held_folder.h"
#include "core/memory_budget.h"
#include "imaging/worker_buffers.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace grelm {

class ConvertView;
class JpegEncoder;
class cDIBSection;

/// How a Convert command spreads its work: on `workers` threads that prepare
/// files ahead of the window's thread, or, in the sequential mode, each file
/// loaded, encoded and written in turn on the window's thread alone.
struct ConvertThreading {
    bool sequential = false;
    int workers = 1;        ///< 0 counts as 1
    int lookAheadPerWorker = 2;
    /// Bytes the workers' pictures may take together (pixels, JPEG output,
    /// working memory); a picture larger than this runs alone.
    std::uint64_t memoryBudget = 768ull * 1024 * 1024;

    /// As many workers as the machine has cores, or the number in GRELM_WORKERS.
    static ConvertThreading fromEnvironment();
};

/// What one Convert command carries from step to step: the window it drives,
/// where its messages go, the window's pixel buffer, and what it has written.
struct ConvertSession {
    ConvertSession(ConvertView &v, MessageSink &m, cDIBSection &buffer, ConvertThreading t);
    ~ConvertSession();

    /// The worker threads a pass starts: 0 in the sequential mode.
    int pipelineWorkers() const;
    /// Makes sure `count` workers' buffers exist; call before threads use them.
    void prepareWorkers(int count);
    /// The buffers of worker `index`, made earlier by prepareWorkers; kept for
    /// the whole command, so that every file of every pass reuses them, and
    /// sharing the command's memory budget.
    WorkerBuffers &worker(int index) { return *m_workers[std::size_t(index)]; }
    /// The encoder of the sequential mode, which works on inlineBuffer.
    JpegEncoder &inlineEncoder();

    ConvertView &view;
    MessageSink &messages;
    cDIBSection &inlineBuffer; ///< the buffer of the sequential mode
    ConvertThreading threading;

    /// What the command knows of one screenshot after the screenshot pass.
    struct ScreenshotRecord {
        /// The base its JPEG and thumbnail JPEG are named after; nothing when no name was free.
        std::optional<FilePath> outputBase;
        /// The stamp of the file as the screenshot pass loaded it.
        std::optional<FileStamp> loaded;
        /// The path of its JPEG when that was written in this command; empty otherwise.
        FilePath jpeg;
        /// It loaded and was encoded: when `jpeg` is empty, only writing failed.
        bool encoded = false;
    };

    /// The screenshot pass's folder, the names it listed that differ from
    /// another only in letter case, and its record of each screenshot, by
    /// name as listed.
    FilePath screenshotFolder;
    QSet<FilePath> caseTwins;
    QHash<FilePath, ScreenshotRecord> records;
    /// For each thumbnail bitmap written in this command, the screenshot it stands for.
    QHash<FilePath, FilePath> thumbnailOwners;
    /// The journal of `thumbsFolder`, read once per command with one listing
    /// of that folder, and kept up to date by the steps that follow. Throws
    /// FileError when another folder has taken that folder's place since.
    ThumbnailJournal &thumbnailJournal(const FilePath &thumbsFolder);

    /// The thumbnail bitmaps the screenshot pass's workers make ahead.
    ThumbnailsAhead thumbnailsAhead;

    /// When set, the command converts only these screenshots of the game
    /// folder (by name as listed), as if the folder held no others.
    std::optional<QSet<FilePath>> onlyScreenshots;
    /// The screenshots of `folder` this command works on, in listing order.
    QList<FilePath> listScreenshots(const FilePath &folder) const;

    /// When set and true for a screenshot due for deletion, the screenshot is
    /// not deleted in this command; the caller deletes it later, or not.
    std::function<bool(const DeletionGroup::Pending &)> holdDeletion;
    /// The game folder as the command found it when it started.
    std::optional<FolderAtStart> gameFolderAtStart;
    /// The game folder and its Thumbs, opened as the command starts: every
    /// file the command writes, renames or deletes lies directly in one of
    /// them and is reached through it, never through their paths again.
    WriteFolders writeFolders;
    /// Hidden staged files in the game folder and Thumbs changed before this
    /// moment are leftovers of killed runs, removed as the command starts;
    /// nothing: an hour before it starts.
    std::optional<FileTime> stagingLeftoversBefore;

    bool stopped = false; ///< the window was closed: the command ends quietly
    int deletedScreenshots = 0; ///< screenshots deleted in this command

private:
    std::optional<ThumbnailJournal> m_journal; // writes within writeFolders
    std::optional<FileStamp> m_journalFolder; // the folder it was read from
    MemoryBudget m_budget; // outlives the workers, which give their shares back to it
    std::vector<std::unique_ptr<WorkerBuffers>> m_workers;
    std::unique_ptr<JpegEncoder> m_inlineEncoder;
};

} // namespace grelm
