#include "convert/screenshot_pass.h"

#include "convert/convert_session.h"
#include "convert/folder_pass.h"
#include "convert/output_names.h"
#include "convert/thumbnail_journal.h"
#include "core/file_stamp.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"

namespace grelm {

namespace {

// The bases of thumbnail bitmaps left pending by an interrupted command, but
// for those of screenshots still listed as they were (same time, and the same
// bitmap name or base): no other screenshot may take the name such a bitmap
// converts to.
QSet<FilePath> pendingBasesOfOthers(ThumbnailJournal &journal, const QList<FilePath> &names,
                                    const std::vector<OutputNameRequest> &requests)
{
    const QList<FilePath> bitmaps = caseSafeNames(names);
    QHash<FilePath, qsizetype> byBitmap, byBase;
    for (qsizetype i = 0; i < bitmaps.size(); ++i) {
        byBitmap.insert(bitmaps[i], i);
        byBase.insert(requests[std::size_t(i)].base, i);
    }
    const auto stillListed = [&](const FilePath &bitmap, const ThumbnailJournal::Entry &entry) {
        for (const qsizetype i : {byBitmap.value(bitmap, -1), byBase.value(entry.base, -1)}) {
            const std::optional<FileTime> &time = i < 0 ? std::nullopt : requests[std::size_t(i)].time;
            if (time && sameTime(entry.time, *time))
                return true;
        }
        return false;
    };
    QSet<FilePath> reserved;
    for (const FilePath &bitmap : journal.entries().keys()) {
        const ThumbnailJournal::Entry *entry = journal.ownBitmap(bitmap);
        if (entry && !stillListed(bitmap, *entry))
            reserved.insert(entry->base);
    }
    return reserved;
}

// Each screenshot's base as its name gives it, with its time.
std::vector<OutputNameRequest> nameRequests(const FilePath &folder, const QList<FilePath> &names)
{
    const QList<FilePath> bases = outputBaseNames(names);
    std::vector<OutputNameRequest> requests;
    requests.reserve(std::size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const std::optional<FileStamp> stamp = fileStamp(folder / names[i]);
        requests.push_back({bases[i], stamp ? std::optional<FileTime>(stamp->modified) : std::nullopt});
    }
    return requests;
}

class ScreenshotPass final : public FolderPass {
public:
    explicit ScreenshotPass(ConvertSession &session) : m_session(session) {}

    // Lists the screenshots, forgets what an earlier pass recorded, decides
    // every screenshot's output names before anything is written, and starts
    // the command's record of each screenshot.
    std::vector<PassFile> plan(const FilePath &folder) override
    {
        const QList<FilePath> names = m_session.listScreenshots(folder);
        start(folder, names);
        const std::vector<OutputNameRequest> requests = nameRequests(folder, names);
        const FilePath thumbs = folder / kThumbsFolderName;
        const std::vector<std::optional<FilePath>> decided = decideOutputBases(
            folder, thumbs, requests, pendingBasesOfOthers(m_session.thumbnailJournal(thumbs), names, requests));
        std::vector<PassFile> files;
        files.reserve(std::size_t(names.size()));
        for (qsizetype i = 0; i < names.size(); ++i) {
            const std::optional<FilePath> &base = decided[std::size_t(i)];
            m_session.records.insert(names[i], {base, std::nullopt, FilePath()});
            files.push_back({names[i], folder / names[i], base ? folder / jpegName(*base) : FilePath(), std::nullopt,
                             std::nullopt});
        }
        return files;
    }

    bool accept(const PassFile &, const PreparedJpeg &) override { return true; }

    void committed(const PassFile &file, const PreparedJpeg &prepared, bool written, DeletionGroup &) override
    {
        ConvertSession::ScreenshotRecord &record = m_session.records[file.name];
        record.loaded = prepared.stamp;
        record.encoded = prepared.status == 0;
        if (written)
            record.jpeg = file.output;
        if (prepared.hasThumbnail)
            m_session.thumbnailsAhead.keep(file.name, prepared.thumbnail);
    }

    void finish(const FilePath &, const std::vector<PassFile> &) override {}

private:
    void start(const FilePath &folder, const QList<FilePath> &names)
    {
        m_session.screenshotFolder = folder;
        m_session.caseTwins = caseTwins(names);
        m_session.records.clear();
        m_session.thumbnailOwners.clear();
        m_session.thumbnailsAhead.clear();
    }

    ConvertSession &m_session;
};

} // namespace

void convertScreenshots(const FilePath &folder, ConvertSession &session)
{
    ScreenshotPass pass(session);
    runFolderPass(folder, pass, session);
}

} // namespace grelm
