#include "thumbs/make_thumbnails.h"

#include "core/atomic_file.h"
#include "core/convert_view.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"
#include "core/numeric.h"
#include "imaging/batch_conversion.h"
#include "imaging/convert_pass_names.h"
#include "imaging/pipeline.h"
#include "imaging/thumbnail_journal.h"
#include "core/messages.h"
#include "imaging/dib_section.h"
#include "thumbs/make_thumbnails_reduce.h"
#include "thumbs/thumbnail_error.h"
#include "thumbs/thumbnail_fit.h"

#include <QByteArray>

#include <chrono>
#include <memory>
#include <vector>

namespace grelm {

namespace {

/// A thumbnail made ahead: the bitmap file's bytes and the width it was made
/// for; `skip` when the screenshot changed after its JPEG was written.
struct PreparedThumbnail {
    QByteArray bmp;
    std::int32_t width = 0;
    bool skip = false;
};

// The width in the thumbnail box; throws for text that is not a number and,
// since no canvas can have it, for a width of 0 or below.
std::int32_t thumbnailWidth(const ConvertView &view)
{
    const std::int32_t width = textToInt32(view.thumbWidthText());
    if (width <= 0)
        throw ThumbnailError("The thumbnail width must be above 0");
    return width;
}

// What one thread makes thumbnails with: the command's buffer of that thread
// and the reduction's working memory.
struct ThumbnailWorker {
    ConvertWorker &state;
    ReductionScratch scratch;
};

// Reduces a loaded screenshot to fit a square box of `width`, straight from
// its rows, without a converted copy.
void reduceLoaded(const cDIBSection &dib, std::int32_t width, ReductionScratch &scratch, QByteArray &bmp)
{
    const ThumbnailLayout fit = fitThumbnail(dib.dib_width(), dib.dib_height(), width, width, false);
    if (fit.fittedWidth <= 0 || fit.fittedHeight <= 0)
        throw ThumbnailError("The thumbnail would be empty");
    const BottomUpPicture picture{dib.DIBSectionBitsPtr(), dib.dib_width(), dib.dib_height(), dib.BytesPerScanLine()};
    reduceToBmp24(picture, fit.fittedWidth, fit.fittedHeight, bmp, scratch);
}

// The thumbnail of `source`: the one the screenshot pass made when the file
// is still the one it loaded, else loaded and reduced now. A screenshot that
// is no longer the one its JPEG was made from gets none in this command.
void makeThumbnail(const ConvertSession &session, const QString &name, const QString &source, std::int32_t width,
                   ThumbnailWorker &worker, PreparedThumbnail &slot)
{
    slot.width = width;
    slot.skip = false;
    const std::optional<FileStamp> &converted = session.records.value(name).loaded;
    const auto made = session.byproducts.constFind(name);
    if (made != session.byproducts.cend() && session.byproductSetting == width && fileUnchanged(source, converted)) {
        slot.bmp = *made;
        return;
    }
    cDIBSection &dib = *worker.state.dib;
    if (!dib.Load(source)) {
        worker.state.messages.messages.clear(); // here a picture that cannot be loaded is an error
        throw FileError("Cannot load the picture " + source.toStdString());
    }
    if (!converted || dib.loadedStamp() != converted) {
        slot.skip = true;
        return;
    }
    reduceLoaded(dib, width, worker.scratch, slot.bmp);
}

// The screenshots of `names` that get a thumbnail in this command: those the
// screenshot pass gave output names. Each is written into the journal before
// any bitmap, so that an interrupted command's bitmaps are still known as ours.
std::vector<qsizetype> planThumbnails(ConvertSession &session, const QStringList &names, const QStringList &thumbnails,
                                      const QString &thumbsFolder)
{
    ThumbnailJournal journal = ThumbnailJournal::read(thumbsFolder);
    journal.dropVanished();
    std::vector<qsizetype> planned;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const ConvertSession::ScreenshotRecord record = session.records.value(names[i]);
        if (!record.outputBase || !record.loaded)
            continue;
        journal.add(thumbnails[i], {*record.outputBase, record.loaded->modified});
        planned.push_back(i);
    }
    journal.save();
    return planned;
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

void MakeThumbnails(ConvertSession &session)
{
    ConvertView &view = session.view;
    const QString folder = view.gameFolder();
    const QStringList names = FolderListing::all(folder, kScreenshotPattern);
    if (names.isEmpty())
        return;
    const std::int32_t width = thumbnailWidth(view);
    const QStringList thumbnails = caseSafeNames(names);
    const QString thumbsFolder = joinPath(folder, kThumbsFolderName);
    const std::vector<qsizetype> planned = planThumbnails(session, names, thumbnails, thumbsFolder);
    const ConvertThreading &threading = session.threading;
    const int workers = session.pipelineWorkers();
    session.prepareWorkers(workers + 1); // one more for the window's thread
    std::vector<std::unique_ptr<ThumbnailWorker>> states;
    for (int w = 0; w <= workers; ++w)
        states.push_back(std::make_unique<ThumbnailWorker>(ThumbnailWorker{session.worker(w), {}}));
    OrderedPipeline<PreparedThumbnail> pipeline(
        planned.size(), workers, std::size_t(std::max(threading.lookAheadPerWorker, 1)),
        [&](std::size_t k, int w, PreparedThumbnail &slot) {
            const QString &name = names[planned[k]];
            makeThumbnail(session, name, joinPath(folder, name), width, *states[std::size_t(w)], slot);
        });
    EventTurns turns(view);
    for (std::size_t k = 0; k < planned.size(); ++k) {
        const qsizetype i = planned[k];
        PreparedThumbnail &prepared = pipeline.take(k, [&] { turns.now(); });
        if (view.stopRequested()) {
            session.stopped = true;
            return;
        }
        if (!view.thumbsChecked())
            continue;
        // The box is read for every file; a width changed meanwhile is honoured.
        const std::int32_t current = thumbnailWidth(view);
        if (current != prepared.width)
            makeThumbnail(session, names[i], joinPath(folder, names[i]), current, *states.back(), prepared);
        if (prepared.skip)
            continue;
        // Dated like its screenshot, which the journal and the thumbnail JPEG rely on.
        writeFileAtomically(joinPath(thumbsFolder, thumbnails[i]), prepared.bmp, false,
                            session.records.value(names[i]).loaded->modified);
        session.thumbnailOwners.insert(thumbnails[i], names[i]);
        turns.maybe();
    }
}

void planThumbnailsAhead(ConvertSession &session)
{
    const int workers = session.pipelineWorkers();
    if (workers == 0 || !session.view.thumbsChecked())
        return;
    if (FolderListing(session.view.gameFolder(), kScreenshotPattern).size() == 0)
        return;
    try {
        session.byproductSetting = thumbnailWidth(session.view);
    } catch (const AppError &) {
        return;
    }
    auto scratch = std::make_shared<std::vector<ReductionScratch>>(std::size_t(workers));
    session.whileLoaded = [scratch, width = session.byproductSetting](const cDIBSection &dib, int worker, QByteArray &bmp) {
        reduceLoaded(dib, width, (*scratch)[std::size_t(worker)], bmp);
    };
}

} // namespace grelm
