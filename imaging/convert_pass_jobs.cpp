#include "imaging/convert_pass_jobs.h"

#include "imaging/batch_conversion.h"
#include "imaging/convert_pass_encode.h"
#include "imaging/dib_section.h"

namespace grelm {

void prepareJpeg(ConvertSession &session, const QString &source, int worker, PreparedJpeg &slot)
{
    if (session.pipelineWorkers() == 0) {
        session.inlineBuffer.Load(source);
        slot.stamp = session.inlineBuffer.loadedStamp();
        slot.messages.clear();
        slot.status = encodeDibToJpeg(session.inlineBuffer, session.inlineEncoder(), slot.jpeg);
        return;
    }
    ConvertWorker &w = session.worker(worker);
    const bool loaded = w.dib->Load(source);
    slot.stamp = w.dib->loadedStamp();
    slot.messages.swap(w.messages.messages);
    w.messages.messages.clear();
    slot.status = encodeDibToJpeg(*w.dib, *w.encoder, slot.jpeg);
    slot.hasByproduct = false;
    if (loaded && session.whileLoaded) {
        try {
            session.whileLoaded(*w.dib, worker, slot.byproduct);
            slot.hasByproduct = true;
        } catch (const std::exception &) {
            // The step that wanted it makes it again, and reports its failure then.
        }
    }
}

} // namespace grelm
