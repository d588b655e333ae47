#include "thumbs/make_thumbnails.h"

#include "core/atomic_file.h"
#include "core/convert_view.h"
#include "core/errors.h"
#include "core/numeric.h"
#include "core/ordered_pipeline.h"
#include "imaging/dib_section.h"
#include "imaging/worker_buffers.h"
#include "thumbs/area_reduction.h"
#include "thumbs/thumbnail.h"
#include "thumbs/thumbnail_error.h"

#include <chrono>
#include <exception>
#include <memory>

namespace grelm {

namespace {

/// A thumbnail made ahead: the bitmap file's bytes and the width it was made
/// for; `skip` when the screenshot changed after its JPEG was written. The
/// bytes are also staged beside their destination, or `stageError` says why
/// they could not be, so that the window's thread only gives them their name.
struct PreparedThumbnail {
    QByteArray bmp;
    std::int32_t width = 0;
    bool skip = false;
    StagedFile file;
    ContentIdentity content; ///< of the staged bytes
    std::exception_ptr stageError;
};

// What one thread makes thumbnails with: the command's buffers of that thread
// and the reduction's working memory.
struct ThumbnailWorker {
    WorkerBuffers &buffers;
    ReductionScratch scratch;
};

// The thumbnail of one order: the one made ahead when the file is still the
// one it was made from, else loaded and reduced now. Reusing it skips a second
// load and gives the same bytes, since the reduction depends only on the
// pixels and the width. A screenshot that is no longer the one its JPEG was
// made from gets none.
void makeThumbnail(const ThumbnailOrder &order, std::int32_t madeAheadWidth, std::int32_t width,
                   ThumbnailWorker &worker, PreparedThumbnail &slot)
{
    slot.width = width;
    slot.skip = false;
    if (order.madeAhead && madeAheadWidth == width && fileUnchanged(order.source, order.converted)) {
        slot.bmp = *order.madeAhead;
        return;
    }
    cDIBSection &dib = *worker.buffers.dib;
    const BufferUse use(worker.buffers); // ends before the slot is handed on, thrown past or not
    if (!dib.Load(order.source)) {
        worker.buffers.messages.messages.clear(); // here a picture that cannot be loaded is an error
        throw FileError("Cannot load the picture " + order.source.escapedText().toStdString());
    }
    if (dib.loadedStamp() != order.converted) {
        slot.skip = true;
        return;
    }
    reduceLoadedScreenshot(dib, width, worker.scratch, slot.bmp);
}

// Writes the thumbnail beside its destination. A failure is kept for the
// moment the window's thread decides to write that file, as it may not.
void stageThumbnail(const ThumbnailOrder &order, PreparedThumbnail &slot)
{
    slot.file.discard();
    slot.stageError = nullptr;
    if (slot.skip)
        return;
    try {
        slot.file.stage(fileAt(order.within, order.destination), slot.bmp, false, order.converted.modified);
        slot.content = ContentIdentity::of(slot.bmp);
    } catch (const FileError &) {
        slot.stageError = std::current_exception();
    }
}

// The work of one slot: the thumbnail made and staged.
void prepareThumbnail(const ThumbnailOrder &order, std::int32_t madeAheadWidth, std::int32_t width,
                      ThumbnailWorker &worker, PreparedThumbnail &slot)
{
    makeThumbnail(order, madeAheadWidth, width, worker, slot);
    stageThumbnail(order, slot);
}

// Gives the staged thumbnail of order `i` its name, on the window's thread,
// once `naming` has seen it. False for a screenshot that gets none; throws
// why the thumbnail could not be staged.
bool commitThumbnail(std::size_t i, PreparedThumbnail &prepared,
                     const std::function<void(std::size_t, const ContentIdentity &)> &naming)
{
    if (prepared.skip)
        return false;
    if (prepared.stageError)
        std::rethrow_exception(prepared.stageError);
    naming(i, prepared.content);
    prepared.file.commit();
    return true;
}

// Lets the window handle its events now and then while thumbnails are
// written back to back, so that it never looks frozen.
class EventTurns {
public:
    explicit EventTurns(ConvertView &view) : m_view(view) {}
    void maybe()
    {
        if (std::chrono::steady_clock::now() - m_last >= std::chrono::milliseconds(20))
            now();
    }
    void now()
    {
        m_view.processEvents();
        m_last = std::chrono::steady_clock::now();
    }

private:
    ConvertView &m_view;
    std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
};

} // namespace

std::int32_t thumbnailWidth(const ConvertView &view)
{
    return thumbnailWidth(view.thumbWidthText());
}

std::int32_t thumbnailWidth(const QString &text)
{
    const std::int32_t width = textToInt32(text);
    if (width <= 0)
        throw ThumbnailError("The thumbnail width must be above 0");
    return width;
}

void reduceLoadedScreenshot(const cDIBSection &dib, std::int32_t width, ReductionScratch &scratch, QByteArray &bmp)
{
    // A square box: a landscape screenshot comes out with the given width,
    // a portrait one with the given height.
    cThumbnail thumbnail;
    thumbnail.setMaxWidth(width);
    thumbnail.setMaxHeight(width);
    thumbnail.setForcedDimensions(false);
    thumbnail.CreateBitmapFromLoaded(dib, bmp, scratch);
    if (scratch.bytes() > kKeptBufferBytes)
        scratch.release();
}

bool MakeThumbnails(ConvertView &view, const std::vector<ThumbnailOrder> &orders, std::int32_t madeAheadWidth,
                    const ThumbnailThreads &threads,
                    const std::function<void(std::size_t, const ContentIdentity &)> &naming,
                    const std::function<void(std::size_t)> &written)
{
    if (orders.empty())
        return true;
    const std::int32_t width = thumbnailWidth(view);
    std::vector<std::unique_ptr<ThumbnailWorker>> workers;
    for (int w = 0; w <= threads.threads; ++w)
        workers.push_back(std::make_unique<ThumbnailWorker>(ThumbnailWorker{threads.buffers(w), {}}));
    OrderedPipeline<PreparedThumbnail> pipeline(
        orders.size(), threads.threads, std::size_t(std::max(threads.lookAhead, 1)),
        [&](std::size_t i, int w, PreparedThumbnail &slot) {
            prepareThumbnail(orders[i], madeAheadWidth, width, *workers[std::size_t(w)], slot);
        });
    EventTurns turns(view);
    for (std::size_t i = 0; i < orders.size(); ++i) {
        PreparedThumbnail &prepared = pipeline.take(i, [&] { turns.now(); });
        if (view.stopRequested())
            return false;
        if (!view.thumbsChecked()) {
            prepared.file.discard();
            continue;
        }
        const std::int32_t current = thumbnailWidth(view);
        if (current != prepared.width)
            prepareThumbnail(orders[i], madeAheadWidth, current, *workers.back(), prepared);
        if (!commitThumbnail(i, prepared, naming))
            continue;
        written(i);
        turns.maybe();
    }
    return true;
}

} // namespace grelm
