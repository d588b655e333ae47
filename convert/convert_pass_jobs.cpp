#include "convert/convert_pass_jobs.h"

#include "convert/convert_session.h"
#include "imaging/helpers.h"
#include "imaging/dib_section.h"

namespace grelm {

void prepareJpeg(ConvertSession &session, const QString &source, int worker, PreparedJpeg &slot)
{
    if (session.pipelineWorkers() == 0) {
        session.inlineBuffer.Load(source);
        slot.stamp = session.inlineBuffer.loadedStamp();
        slot.messages.clear();
        slot.status = EncodeDIBToJPEG(session.inlineBuffer, session.inlineEncoder(), slot.jpeg, &slot.detail);
        return;
    }
    WorkerBuffers &w = session.worker(worker);
    const BufferUse use(w); // ends once the bytes are in the slot, before the slot is handed on
    const bool loaded = w.dib->Load(source);
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

void stageJpeg(const QString &output, PreparedJpeg &slot)
{
    slot.staged.discard();
    slot.stagedFor.clear();
    if (slot.status != 0 || output.isEmpty())
        return;
    const std::optional<FileTime> time = slot.stamp ? std::optional<FileTime>(slot.stamp->modified) : std::nullopt;
    slot.stageFailure = StageJPEG(output, slot.jpeg, time, slot.staged);
    slot.stagedFor = output;
}

} // namespace grelm
