#include "convert/thumbnail_branch.h"

#include "convert/convert_pass_names.h"
#include "convert/convert_session.h"
#include "convert/output_names.h"
#include "convert/thumbnail_journal.h"
#include "core/convert_view.h"
#include "core/errors.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"
#include "imaging/helpers.h"
#include "thumbs/make_thumbnails.h"
#include "thumbs/area_reduction.h"

#include <memory>
#include <utility>

namespace grelm {

namespace {

// The screenshots of the game folder that get a thumbnail in this command:
// those the screenshot pass gave output names. Each goes into the journal
// before any bitmap is written, so that an interrupted command's bitmaps are
// still known as the program's own.
std::vector<ThumbnailOrder> planThumbnails(const ConvertSession &session, const QStringList &names,
                                           std::vector<std::pair<QString, QString>> &bitmapOwners)
{
    const QString folder = session.view.gameFolder();
    const QString thumbsFolder = joinPath(folder, kThumbsFolderName);
    const QStringList bitmaps = caseSafeNames(names);
    ThumbnailJournal journal = ThumbnailJournal::read(thumbsFolder);
    journal.dropVanished();
    std::vector<ThumbnailOrder> orders;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const auto record = session.records.constFind(names[i]);
        if (record == session.records.cend() || !record->outputBase || !record->loaded)
            continue;
        if (!thumbnailNameFits(*record->outputBase)) {
            ShowJpegNotWritten(session.messages, QStringLiteral("Name too long for its thumbnail: ")
                                                     + thumbnailJpegName(*record->outputBase));
            continue;
        }
        journal.add(bitmaps[i], {*record->outputBase, record->loaded->modified});
        // Reduced while the screenshot pass had the file loaded; MakeThumbnails
        // reuses it only while it is what loading the file again would give.
        const auto madeAhead = session.thumbnailsMadeAhead.constFind(names[i]);
        orders.push_back({joinPath(folder, names[i]), joinPath(thumbsFolder, bitmaps[i]), *record->loaded,
                          madeAhead == session.thumbnailsMadeAhead.cend() ? nullptr : &*madeAhead});
        bitmapOwners.emplace_back(bitmaps[i], names[i]);
    }
    journal.save();
    return orders;
}

} // namespace

void planThumbnailsAhead(ConvertSession &session)
{
    const int workers = session.pipelineWorkers();
    if (workers == 0 || !session.view.thumbsChecked())
        return;
    if (FolderListing(session.view.gameFolder(), kScreenshotPattern).size() == 0)
        return;
    try {
        session.madeAheadWidth = thumbnailWidth(session.view);
    } catch (const AppError &) {
        return;
    }
    auto scratch = std::make_shared<std::vector<ReductionScratch>>(std::size_t(workers));
    session.reduceWhileLoaded = [scratch, width = session.madeAheadWidth](const cDIBSection &dib, int worker,
                                                                           QByteArray &bmp) {
        reduceLoadedScreenshot(dib, width, (*scratch)[std::size_t(worker)], bmp);
    };
}

void makeThumbnailBitmaps(ConvertSession &session)
{
    const QStringList names = session.listScreenshots(session.view.gameFolder());
    if (names.isEmpty())
        return;
    thumbnailWidth(session.view); // a width that is no use ends the command before anything is written
    std::vector<std::pair<QString, QString>> bitmapOwners;
    const std::vector<ThumbnailOrder> orders = planThumbnails(session, names, bitmapOwners);
    const int workers = session.pipelineWorkers();
    session.prepareWorkers(workers + 1); // one more for the window's thread
    const ThumbnailThreads threads{workers, session.threading.lookAheadPerWorker,
                                   [&](int w) -> WorkerBuffers & { return session.worker(w); }};
    const bool finished = MakeThumbnails(session.view, orders, session.madeAheadWidth, threads, [&](std::size_t i) {
        session.thumbnailOwners.insert(bitmapOwners[i].first, bitmapOwners[i].second);
    });
    session.stopped = !finished;
}

} // namespace grelm
