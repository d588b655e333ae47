#include "convert/folder_pass.h"

#include "convert/convert_session.h"
#include "core/convert_view.h"
#include "core/held_folder.h"
#include "core/numeric.h"
#include "core/ordered_pipeline.h"
#include "imaging/dib_section.h"
#include "imaging/helpers.h"
#include "imaging/ijl.h"

namespace grelm {

namespace {

bool load(cDIBSection &dib, const FilePath &source, const ContentIdentity *expected, PreparedJpeg &slot)
{
    slot.notExpected = false;
    return expected ? dib.LoadExpected(source, *expected, slot.notExpected) : dib.Load(source);
}

// The screenshot pass's workers also reduce each screenshot they loaded to
// its thumbnail bitmap, when the session asks for it.
void makeThumbnailAhead(ConvertSession &session, const cDIBSection &dib, int worker, PreparedJpeg &slot)
{
    if (!session.thumbnailsAhead.making())
        return;
    try {
        session.thumbnailsAhead.reduce(dib, worker, slot.thumbnail);
        slot.hasThumbnail = true;
    } catch (const std::exception &) {
        // The step that wanted it makes it again, and reports its failure then.
    }
}

// The progress step that follows the file of pass index `index`: the first
// file shows the bar and its caption, each later one updates both and lets
// the window handle its pending events.
void showPassProgress(ConvertView &view, std::size_t index)
{
    const QString count = view.countText();
    if (index == 0) {
        // The screenshot pass opens with this caption too: it is the window's
        // text for the start of any pass, not a slip, and shows only until the
        // second file.
        view.showProgress();
        view.setProgressCaption(QStringLiteral("Creating thumbnails... (0 of ") + count + u')');
        return;
    }
    view.setProgressCaption(QStringLiteral("Converting (") + QString::number(index) + QStringLiteral(" of ") + count
                            + u')');
    view.fillProgressBar(progressFill(index, leadingNumber(count), view.progressBarWidth()));
    view.processEvents();
}

// Throws when the pass's folder or the game folder is gone or replaced: the
// command then ends once, rather than report every file left.
void requireFolders(const FolderAtStart &passFolder, const ConvertSession &session)
{
    passFolder.requireUnchanged();
    if (session.gameFolderAtStart)
        session.gameFolderAtStart->requireUnchanged();
}

// Gives the prepared JPEG its name (or writes it, when it was not staged),
// after replaying what its preparation reported; true when the file was
// written. A file that got no output name is reported like any JPEG that
// cannot be written.
bool commitJpeg(const PassFile &file, PreparedJpeg &prepared, MessageSink &messages, const WriteFolders &within)
{
    for (const Message &m : prepared.messages)
        messages.show(m);
    if (!prepared.stagedFor.isEmpty() && prepared.stagedFor == file.output)
        return CommitJPEG(prepared.staged, prepared.stageFailure, messages);
    const std::optional<FileTime> time = jpegDate(prepared, file.dated);
    const std::int32_t status = prepared.status == 0 && file.output.isEmpty() ? std::int32_t(IJL_FILE_WRITE_FAILED) : prepared.status;
    const QString detail = file.output.isEmpty() ? QStringLiteral("No free name for its JPEG") : prepared.detail;
    return SaveJPEG(file.output, status, prepared.jpeg, time, messages, detail, &within);
}

void commitFile(const PassFile &file, PreparedJpeg &prepared, FolderPass &pass, ConvertSession &session,
                DeletionGroup &deletions, const FolderAtStart &passFolder)
{
    requireFolders(passFolder, session);
    if (!pass.accept(file, prepared))
        return;
    RecordingMessageSink fileMessages;
    const bool written = commitJpeg(file, prepared, fileMessages, session.writeFolders);
    // A file fails when its folder goes, too: that ends the command instead.
    if (!fileMessages.messages.empty())
        requireFolders(passFolder, session);
    fileMessages.replayTo(session.messages);
    pass.committed(file, prepared, written, deletions);
}

// Commits the prepared files in order until the last or until the window asks
// to close.
void commitInOrder(const std::vector<PassFile> &files, OrderedPipeline<PreparedJpeg> &pipeline, FolderPass &pass,
                   ConvertSession &session, const FolderAtStart &passFolder)
{
    DeletionGroup deletions(&session.writeFolders);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (session.pipelineWorkers() == 0)
            requireFolders(passFolder, session); // take() loads the file, which reports its failure at once
        PreparedJpeg &prepared = pipeline.take(i, [&] { session.view.processEvents(); });
        // The first file is always converted: one file at a time, the window
        // first handles its events after the second, and the threaded mode,
        // which handles them while it waits, must not stop any sooner.
        if (i > 0 && session.view.stopRequested()) {
            session.stopped = true;
            break;
        }
        commitFile(files[i], prepared, pass, session, deletions, passFolder);
        showPassProgress(session.view, i);
    }
    session.deletedScreenshots += deletions.flush(); // what is done is finished, also when the window closes
}

} // namespace

void prepareJpeg(ConvertSession &session, const FilePath &source, int worker, PreparedJpeg &slot,
                 const ContentIdentity *expected)
{
    if (session.pipelineWorkers() == 0) {
        load(session.inlineBuffer, source, expected, slot);
        slot.stamp = session.inlineBuffer.loadedStamp();
        slot.messages.clear();
        slot.status = EncodeDIBToJPEG(session.inlineBuffer, session.inlineEncoder(), slot.jpeg, &slot.detail);
        return;
    }
    WorkerBuffers &w = session.worker(worker);
    const BufferUse use(w); // ends once the bytes are in the slot, before the slot is handed on
    const bool loaded = load(*w.dib, source, expected, slot);
    slot.stamp = w.dib->loadedStamp();
    slot.messages.swap(w.messages.messages);
    w.messages.messages.clear();
    slot.status = EncodeDIBToJPEG(*w.dib, *w.encoder, slot.jpeg, &slot.detail);
    slot.hasThumbnail = false;
    if (loaded)
        makeThumbnailAhead(session, *w.dib, worker, slot);
}

std::optional<FileTime> jpegDate(const PreparedJpeg &slot, const std::optional<FileTime> &dated)
{
    if (dated)
        return dated;
    return slot.stamp ? std::optional<FileTime>(slot.stamp->modified) : std::nullopt;
}

void stageJpeg(const FilePath &output, PreparedJpeg &slot, const std::optional<FileTime> &dated,
               const WriteFolders *within)
{
    slot.staged.discard();
    slot.stagedFor = FilePath();
    if (slot.status != 0 || output.isEmpty() || slot.notExpected)
        return;
    slot.stageFailure = StageJPEG(output, slot.jpeg, jpegDate(slot, dated), slot.staged, within);
    slot.stagedFor = output;
}

int progressFill(std::size_t done, double count, int width)
{
    // A count of 0 makes the fraction infinite: the bar is simply full.
    const double fill = double(done) / count * width;
    if (!(fill < width))
        return width;
    if (!(fill > 0))
        return 0;
    return roundToInt32(fill);
}

void runFolderPass(const FilePath &folder, FolderPass &pass, ConvertSession &session)
{
    const HeldFolder *held = session.writeFolders.find(folder);
    const FolderAtStart passFolder{folder, held ? fileStamp(held->descriptor()) : fileStamp(folder)};
    const std::vector<PassFile> files = pass.plan(folder);
    const int workers = session.pipelineWorkers();
    session.prepareWorkers(workers);
    OrderedPipeline<PreparedJpeg> pipeline(files.size(), workers, std::size_t(session.threading.lookAheadPerWorker),
                                           [&](std::size_t i, int worker, PreparedJpeg &slot) {
                                               const PassFile &file = files[i];
                                               prepareJpeg(session, file.source, worker, slot,
                                                           file.expected ? &*file.expected : nullptr);
                                               stageJpeg(file.output, slot, file.dated, &session.writeFolders);
                                           });
    commitInOrder(files, pipeline, pass, session, passFolder);
    if (!files.empty())
        session.view.hideProgress();
    pass.finish(folder, files);
}

} // namespace grelm
