#include "convert/convert_pass.h"

#include "core/atomic_file.h"
#include "core/convert_view.h"
#include "core/errors.h"
#include "core/file_names.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"
#include "core/messages.h"
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
};

// The bases of thumbnail bitmaps left pending by an interrupted command, but
// for those of screenshots still listed as they were (same bitmap name, same
// time): no other screenshot may take the name such a bitmap converts to.
QSet<QString> pendingBasesOfOthers(const QString &thumbsFolder, const QStringList &names,
                                   const std::vector<OutputNameRequest> &requests)
{
    ThumbnailJournal journal = ThumbnailJournal::read(thumbsFolder);
    journal.dropVanished();
    const QStringList bitmaps = caseSafeNames(names);
    QSet<QString> stillListed;
    for (qsizetype i = 0; i < bitmaps.size(); ++i) {
        const auto entry = journal.entries().constFind(bitmaps[i]);
        const std::optional<FileTime> &time = requests[std::size_t(i)].time;
        if (entry != journal.entries().cend() && time && sameTime(entry->time, *time))
            stillListed.insert(bitmaps[i]);
    }
    QSet<QString> reserved;
    for (auto it = journal.entries().cbegin(); it != journal.entries().cend(); ++it) {
        if (!stillListed.contains(it.key()))
            reserved.insert(it->base);
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
        decideOutputBases(folder, thumbs, requests, pendingBasesOfOthers(thumbs, names, requests));
    std::vector<PassFile> files;
    files.reserve(std::size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const std::optional<QString> &base = decided[std::size_t(i)];
        session.records.insert(names[i], {base, std::nullopt, QString()});
        files.push_back({names[i], joinPath(folder, names[i]), base ? joinPath(folder, *base + QStringLiteral(".jpg")) : QString()});
    }
    return files;
}

// Only the bitmaps the program wrote into Thumbs are converted, each to the
// name decided for its screenshot.
std::vector<PassFile> planThumbnailPass(const QString &folder, const QStringList &names, const ThumbnailJournal &journal)
{
    std::vector<PassFile> files;
    for (const QString &name : names) {
        if (const ThumbnailJournal::Entry *entry = journal.ownBitmap(name))
            files.push_back({name, joinPath(folder, name), joinPath(folder, QStringLiteral("th_") + entry->base + QStringLiteral(".jpg"))});
    }
    return files;
}

// Gives the prepared JPEG its name (or writes it, when it was not staged),
// after replaying what its preparation reported; true when the file was
// written. A screenshot that got no output name is reported like any JPEG
// that cannot be written.
bool commitJpeg(const PassFile &file, PreparedJpeg &prepared, MessageSink &messages)
{
    for (const Message &m : prepared.messages)
        messages.show(m);
    if (!prepared.stagedFor.isEmpty() && prepared.stagedFor == file.output)
        return CommitJPEG(prepared.staged, prepared.stageFailure, messages);
    const std::optional<FileTime> time = prepared.stamp ? std::optional<FileTime>(prepared.stamp->modified) : std::nullopt;
    const std::int32_t status = prepared.status == 0 && file.output.isEmpty() ? std::int32_t(IJL_FILE_WRITE_FAILED) : prepared.status;
    const QString detail = file.output.isEmpty() ? QStringLiteral("No free name for its JPEG") : prepared.detail;
    return SaveJPEG(file.output, status, prepared.jpeg, time, messages, detail);
}

// The screenshot that a thumbnail stands for, when it was listed once (no
// other name differs from it only in case) and its JPEG was written in this
// command; empty otherwise.
QString screenshotToDelete(const QString &thumbnail, const ConvertSession &session)
{
    if (session.view.gameFolder() != session.screenshotFolder)
        return {};
    const QString owner = session.thumbnailOwners.value(thumbnail);
    if (owner.isEmpty() || session.records.value(owner).jpeg.isEmpty())
        return {};
    for (const QString &name : session.screenshots) {
        if (name != owner && name.compare(owner, Qt::CaseInsensitive) == 0)
            return {};
    }
    return owner;
}

// Removes a converted thumbnail bitmap and, where the user asked for it,
// queues its screenshot for deletion once both JPEGs are on the disk; a file
// that changed since it was loaded is kept.
void deleteAfterThumbnail(const PassFile &file, const PreparedJpeg &prepared, ConvertSession &session,
                          DeletionGroup &deletions)
{
    if (fileUnchanged(file.source, prepared.stamp))
        deleteFile(file.source);
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

void commitFile(const PassFile &file, PreparedJpeg &prepared, PassKind mode, ConvertSession &session,
                DeletionGroup &deletions)
{
    const bool written = commitJpeg(file, prepared, session.messages);
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
    session.screenshots = names;
    session.records.clear();
    session.thumbnailOwners.clear();
    session.thumbnailsMadeAhead.clear();
    session.madeAheadBytes = 0;
}

} // namespace

void ConvertFolder(const QString &folder, PassKind mode, ConvertSession &session)
{
    const QStringList names = mode == kScreenshotPass ? session.listScreenshots(folder)
                                                      : FolderListing::all(folder, kScreenshotPattern);
    ThumbnailJournal journal = mode == kThumbnailPass ? ThumbnailJournal::read(folder) : ThumbnailJournal();
    if (mode == kScreenshotPass)
        startScreenshotPass(folder, names, session);
    const std::vector<PassFile> files =
        mode == kScreenshotPass ? planScreenshotPass(folder, names, session) : planThumbnailPass(folder, names, journal);
    const int workers = session.pipelineWorkers();
    session.prepareWorkers(workers);
    OrderedPipeline<PreparedJpeg> pipeline(files.size(), workers, std::size_t(session.threading.lookAheadPerWorker),
                                           [&](std::size_t i, int worker, PreparedJpeg &slot) {
                                               prepareJpeg(session, files[i].source, worker, slot);
                                               stageJpeg(files[i].output, slot);
                                           });
    DeletionGroup deletions;
    for (std::size_t i = 0; i < files.size(); ++i) {
        PreparedJpeg &prepared = pipeline.take(i, [&] { session.view.processEvents(); });
        // The first file is always converted: one file at a time, the window
        // first handles its events after the second, and the threaded mode,
        // which handles them while it waits, must not stop any sooner.
        if (i > 0 && session.view.stopRequested()) {
            session.stopped = true;
            break;
        }
        commitFile(files[i], prepared, mode, session, deletions);
        showPassProgress(session.view, i);
    }
    session.deletedScreenshots += deletions.flush(); // what is done is finished, also when the window closes
    if (!files.empty())
        session.view.hideProgress();
    if (mode == kThumbnailPass) {
        journal.dropVanished();
        journal.save();
    }
}

} // namespace grelm
