#include "convert/convert_pass.h"

#include "core/atomic_file.h"
#include "core/convert_view.h"
#include "core/errors.h"
#include "core/file_names.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"
#include "core/messages.h"
#include "core/user_messages.h"
#include "convert/convert_session.h"
#include "convert/convert_pass_jobs.h"
#include "convert/convert_pass_names.h"
#include "convert/convert_pass_progress.h"
#include "convert/deletion_group.h"
#include "imaging/helpers.h"
#include "imaging/ijl.h"
#include "convert/output_names.h"
#include "core/ordered_pipeline.h"
#include "convert/thumbnail_journal.h"


namespace grelm {

namespace {

struct PassFile {
    QString name;   ///< as listed
    QString source;
    QString output; ///< empty when no output name was free
    /// A thumbnail bitmap: the bytes it must hold to be converted, and its
    /// screenshot's time, which its JPEG carries.
    const ThumbnailJournal::Entry *thumbnail = nullptr;
};

// The bases of thumbnail bitmaps left pending by an interrupted command, but
// for those of screenshots still listed as they were (same time, and the same
// bitmap name or base): no other screenshot may take the name such a bitmap
// converts to.
QSet<QString> pendingBasesOfOthers(ThumbnailJournal &journal, const QStringList &names,
                                   const std::vector<OutputNameRequest> &requests)
{
    const QStringList bitmaps = caseSafeNames(names);
    QHash<QString, qsizetype> byBitmap, byBase;
    for (qsizetype i = 0; i < bitmaps.size(); ++i) {
        byBitmap.insert(bitmaps[i], i);
        byBase.insert(requests[std::size_t(i)].base, i);
    }
    const auto stillListed = [&](const QString &bitmap, const ThumbnailJournal::Entry &entry) {
        for (const qsizetype i : {byBitmap.value(bitmap, -1), byBase.value(entry.base, -1)}) {
            const std::optional<FileTime> &time = i < 0 ? std::nullopt : requests[std::size_t(i)].time;
            if (time && sameTime(entry.time, *time))
                return true;
        }
        return false;
    };
    QSet<QString> reserved;
    for (const QString &bitmap : journal.entries().keys()) {
        const ThumbnailJournal::Entry *entry = journal.ownBitmap(bitmap);
        if (entry && !stillListed(bitmap, *entry))
            reserved.insert(entry->base);
    }
    return reserved;
}

// Decides every screenshot's output names before anything is written, and
// starts the command's record of each screenshot.
std::vector<PassFile> planScreenshotPass(const QString &folder, const QStringList &names, ConvertSession &session)
{
    const QStringList bases = outputBaseNames(names);
    std::vector<OutputNameRequest> requests;
    requests.reserve(std::size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const std::optional<FileStamp> stamp = fileStamp(joinPath(folder, names[i]));
        requests.push_back({bases[i], stamp ? std::optional<FileTime>(stamp->modified) : std::nullopt});
    }
    const QString thumbs = joinPath(folder, kThumbsFolderName);
    const std::vector<std::optional<QString>> decided =
        decideOutputBases(folder, thumbs, requests, pendingBasesOfOthers(session.thumbnailJournal(thumbs), names, requests));
    std::vector<PassFile> files;
    files.reserve(std::size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const std::optional<QString> &base = decided[std::size_t(i)];
        session.records.insert(names[i], {base, std::nullopt, QString()});
        files.push_back({names[i], joinPath(folder, names[i]), base ? joinPath(folder, *base + QStringLiteral(".jpg")) : QString()});
    }
    return files;
}

// Only the bitmaps the journal names are converted (those that still hold
// the bytes it records for them, which their load checks), each to the name
// decided for its screenshot, while that name passes the rule of every
// output name.
std::vector<PassFile> planThumbnailPass(const QString &folder, const QStringList &names, const ThumbnailJournal &journal)
{
    std::vector<PassFile> files;
    for (const QString &name : names) {
        const ThumbnailJournal::Entry *entry = journal.find(name);
        if (!entry)
            continue;
        const QString output = joinPath(folder, QStringLiteral("th_") + entry->base + QStringLiteral(".jpg"));
        if (mayWriteOutput(output, entry->time))
            files.push_back({name, joinPath(folder, name), output, entry});
    }
    return files;
}

// A thumbnail bitmap this command wrote that the thumbnail pass cannot
// convert, found gone or holding other bytes: its screenshot gets no
// thumbnail JPEG and is kept, and the user hears of it.
void reportLostThumbnail(const QString &path, ConvertSession &session)
{
    session.messages.show(cantLoadBmpMessage(path + QStringLiteral(": not the thumbnail bitmap this Convert wrote")));
}

// Gives the prepared JPEG its name (or writes it, when it was not staged),
// after replaying what its preparation reported; true when the file was
// written. A screenshot that got no output name is reported like any JPEG
// that cannot be written.
bool commitJpeg(const PassFile &file, PreparedJpeg &prepared, MessageSink &messages, const WriteFolders &within)
{
    for (const Message &m : prepared.messages)
        messages.show(m);
    if (!prepared.stagedFor.isEmpty() && prepared.stagedFor == file.output)
        return CommitJPEG(prepared.staged, prepared.stageFailure, messages);
    const std::optional<FileTime> time = jpegDate(prepared, file.thumbnail ? std::optional(file.thumbnail->time) : std::nullopt);
    const std::int32_t status = prepared.status == 0 && file.output.isEmpty() ? std::int32_t(IJL_FILE_WRITE_FAILED) : prepared.status;
    const QString detail = file.output.isEmpty() ? QStringLiteral("No free name for its JPEG") : prepared.detail;
    return SaveJPEG(file.output, status, prepared.jpeg, time, messages, detail, &within);
}

// The screenshot that a thumbnail stands for, when it was listed once (no
// other name differs from it only in case) and its JPEG was written in this
// command; empty otherwise.
QString screenshotToDelete(const QString &thumbnail, const ConvertSession &session)
{
    if (session.view.gameFolder() != session.screenshotFolder)
        return {};
    const QString owner = session.thumbnailOwners.value(thumbnail);
    if (owner.isEmpty() || session.records.value(owner).jpeg.isEmpty() || session.caseTwins.contains(owner))
        return {};
    return owner;
}

// Removes a converted thumbnail bitmap and, where the user asked for it,
// queues its screenshot for deletion once both JPEGs are on the disk; a file
// that changed since it was loaded is kept.
void deleteAfterThumbnail(const PassFile &file, const PreparedJpeg &prepared, ConvertSession &session,
                          DeletionGroup &deletions)
{
    const FileAt bitmap = fileAt(&session.writeFolders, file.source);
    if (fileUnchanged(bitmap, prepared.stamp)) {
        deleteFile(bitmap);
        session.thumbnailJournal(folderOfPath(file.source)).remove(file.name);
    }
    if (!session.view.deleteSourceChecked())
        return;
    const QString screenshot = screenshotToDelete(file.name, session);
    if (screenshot.isEmpty())
        return;
    const ConvertSession::ScreenshotRecord record = session.records.value(screenshot);
    const QString path = joinPath(session.screenshotFolder, screenshot);
    DeletionGroup::Pending pending{path, record.loaded, record.jpeg, file.output};
    if (fileUnchanged(path, record.loaded) && !(session.holdDeletion && session.holdDeletion(pending)))
        deletions.add(std::move(pending));
}

void keepThumbnailMadeAhead(const PassFile &file, const PreparedJpeg &prepared, ConvertSession &session)
{
    if (!prepared.hasThumbnail || session.madeAheadBytes + prepared.thumbnail.size() > ConvertSession::kMadeAheadBudget)
        return;
    session.thumbnailsMadeAhead.insert(file.name, prepared.thumbnail);
    session.madeAheadBytes += prepared.thumbnail.size();
}

// Throws when the pass's folder or the game folder is gone or replaced: the
// command then ends once, rather than report every file left.
void requireFolders(const FolderAtStart &passFolder, const ConvertSession &session)
{
    passFolder.requireUnchanged();
    if (session.gameFolderAtStart)
        session.gameFolderAtStart->requireUnchanged();
}

void commitFile(const PassFile &file, PreparedJpeg &prepared, PassKind mode, ConvertSession &session,
                DeletionGroup &deletions, const FolderAtStart &passFolder)
{
    requireFolders(passFolder, session);
    if (prepared.notExpected) {
        // Not the bitmap the journal recorded (any more): not the program's.
        session.thumbnailJournal(folderOfPath(file.source)).remove(file.name);
        if (session.thumbnailOwners.contains(file.name))
            reportLostThumbnail(file.source, session);
        return;
    }
    RecordingMessageSink fileMessages;
    const bool written = commitJpeg(file, prepared, fileMessages, session.writeFolders);
    // A file fails when its folder goes, too: that ends the command instead.
    if (!fileMessages.messages.empty())
        requireFolders(passFolder, session);
    fileMessages.replayTo(session.messages);
    if (mode == kScreenshotPass) {
        ConvertSession::ScreenshotRecord &record = session.records[file.name];
        record.loaded = prepared.stamp;
        record.encoded = prepared.status == 0;
        if (written)
            record.jpeg = file.output;
        keepThumbnailMadeAhead(file, prepared, session);
    } else if (written) {
        deleteAfterThumbnail(file, prepared, session, deletions);
        session.deletedScreenshots += deletions.flushWhenDue();
    }
}

void startScreenshotPass(const QString &folder, const QStringList &names, ConvertSession &session)
{
    session.screenshotFolder = folder;
    session.caseTwins = caseTwins(names);
    session.records.clear();
    session.thumbnailOwners.clear();
    session.thumbnailsMadeAhead.clear();
    session.madeAheadBytes = 0;
}

// Reports the bitmaps this command wrote that the pass never found, and
// stores what is left of the journal.
void finishThumbnailPass(const QString &folder, const std::vector<PassFile> &files, ConvertSession &session)
{
    if (!session.stopped) {
        QSet<QString> found;
        for (const PassFile &file : files)
            found.insert(file.name);
        QStringList lost;
        for (auto it = session.thumbnailOwners.cbegin(); it != session.thumbnailOwners.cend(); ++it) {
            if (!found.contains(it.key()))
                lost << it.key();
        }
        lost.sort();
        for (const QString &name : lost)
            reportLostThumbnail(joinPath(folder, name), session);
    }
    session.thumbnailJournal(folder).save();
}

} // namespace

void ConvertFolder(const QString &folder, PassKind mode, ConvertSession &session)
{
    const HeldFolder *held = session.writeFolders.find(folder);
    const FolderAtStart passFolder{folder, held ? fileStamp(held->descriptor()) : fileStamp(folder)};
    const QStringList names = mode == kScreenshotPass ? session.listScreenshots(folder)
                                                      : FolderListing::all(folder, kScreenshotPattern);
    if (mode == kScreenshotPass)
        startScreenshotPass(folder, names, session);
    const std::vector<PassFile> files = mode == kScreenshotPass
                                            ? planScreenshotPass(folder, names, session)
                                            : planThumbnailPass(folder, names, session.thumbnailJournal(folder));
    const int workers = session.pipelineWorkers();
    session.prepareWorkers(workers);
    OrderedPipeline<PreparedJpeg> pipeline(files.size(), workers, std::size_t(session.threading.lookAheadPerWorker),
                                           [&](std::size_t i, int worker, PreparedJpeg &slot) {
                                               const ThumbnailJournal::Entry *thumbnail = files[i].thumbnail;
                                               prepareJpeg(session, files[i].source, worker, slot,
                                                           thumbnail ? &thumbnail->content : nullptr);
                                               stageJpeg(files[i].output, slot,
                                                         thumbnail ? std::optional(thumbnail->time) : std::nullopt,
                                                         &session.writeFolders);
                                           });
    DeletionGroup deletions(&session.writeFolders);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (workers == 0)
            requireFolders(passFolder, session); // take() loads the file, which reports its failure at once
        PreparedJpeg &prepared = pipeline.take(i, [&] { session.view.processEvents(); });
        // The first file is always converted: one file at a time, the window
        // first handles its events after the second, and the threaded mode,
        // which handles them while it waits, must not stop any sooner.
        if (i > 0 && session.view.stopRequested()) {
            session.stopped = true;
            break;
        }
        commitFile(files[i], prepared, mode, session, deletions, passFolder);
        showPassProgress(session.view, i);
    }
    session.deletedScreenshots += deletions.flush(); // what is done is finished, also when the window closes
    if (!files.empty())
        session.view.hideProgress();
    if (mode == kThumbnailPass)
        finishThumbnailPass(folder, files, session);
}

} // namespace grelm
