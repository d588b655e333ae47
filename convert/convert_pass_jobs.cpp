#include "convert/convert_pass_jobs.h"

#include "convert/convert_session.h"
#include "imaging/helpers.h"
#include "imaging/dib_section.h"

namespace grelm {

namespace {

bool load(cDIBSection &dib, const QString &source, const ContentIdentity *expected, PreparedJpeg &slot)
{
    slot.notExpected = false;
    return expected ? dib.LoadExpected(source, *expected, slot.notExpected) : dib.Load(source);
}

} // namespace

void prepareJpeg(ConvertSession &session, const QString &source, int worker, PreparedJpeg &slot,
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
    if (loaded && session.reduceWhileLoaded) {
        try {
            session.reduceWhileLoaded(*w.dib, worker, slot.thumbnail);
            slot.hasThumbnail = true;
        } catch (const std::exception &) {
            // The step that wanted it makes it again, and reports its failure then.
        }
    }
}

std::optional<FileTime> jpegDate(const PreparedJpeg &slot, const std::optional<FileTime> &dated)
{
    if (dated)
        return dated;
    return slot.stamp ? std::optional<FileTime>(slot.stamp->modified) : std::nullopt;
}

void stageJpeg(const QString &output, PreparedJpeg &slot, const std::optional<FileTime> &dated,
               const WriteFolders *within)
{
    slot.staged.discard();
    slot.stagedFor.clear();
    if (slot.status != 0 || output.isEmpty() || slot.notExpected)
        return;
    slot.stageFailure = StageJPEG(output, slot.jpeg, jpegDate(slot, dated), slot.staged, within);
    slot.stagedFor = output;
}

} // namespace grelm
