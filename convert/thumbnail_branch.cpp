#include "convert/thumbnail_branch.h"

#include "convert/convert_session.h"
#include "convert/output_names.h"
#include "convert/thumbnail_journal.h"
#include "core/convert_view.h"
#include "core/errors.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"
#include "imaging/helpers.h"
#include "imaging/bmp_reader.h"
#include "thumbs/make_thumbnails.h"

#include <QMultiHash>
#include <QSet>

#include <climits>
#include <utility>

namespace grelm {

namespace {

// Decides the name in Thumbs of each thumbnail bitmap. A bitmap of this
// command takes the name of the one it is (the journal's record of the same
// base and time, with its bytes still there: left by an interrupted command),
// else its screenshot's name in lower case when nothing lies there or only a
// file that is no bitmap at all (half-written). Whatever else lies there is
// kept: the user's own bitmap, or the leftover of an older picture of that
// name still waiting for its JPEG; the thumbnail then takes the next free
// name, "name_1.bmp", "name_2.bmp", ...
class BitmapNames {
public:
    BitmapNames(ThumbnailJournal &journal, const QList<FilePath> &wanted) : m_journal(journal)
    {
        for (const FilePath &name : journal.listed())
            m_taken.insert(name.foldedText());
        m_listed = m_taken;
        for (const FilePath &name : wanted)
            m_taken.insert(name.foldedText());
        for (auto it = journal.entries().cbegin(); it != journal.entries().cend(); ++it)
            m_byBase.insert(it->base, it.key());
    }

    FilePath decide(const FilePath &wanted, const FilePath &base, const FileTime &time)
    {
        for (const FilePath &name : m_byBase.values(base)) {
            const ThumbnailJournal::Entry *own = m_journal.ownBitmap(name);
            if (own && sameTime(own->time, time) && !m_decided.contains(name))
                return take(name);
        }
        if (!m_listed.contains(wanted.foldedText()) && !m_decided.contains(wanted))
            return take(wanted);
        if (m_journal.listed().contains(wanted) && !m_journal.ownBitmap(wanted) && !m_decided.contains(wanted)
            && BmpReader::isOrdinaryFileButNoBitmap(m_journal.folder() / wanted))
            return take(wanted);
        // The stem is cut character by character of its text, never inside one.
        QString stem = withoutLastExtension(wanted).escapedText();
        for (int index = 1;; ++index) {
            const QString mark = u'_' + QString::number(index) + QStringLiteral(".bmp");
            while (!stem.isEmpty() && FilePath::fromEscapedText(stem + mark).bytes().size() > NAME_MAX)
                stem.chop(stem.size() > 1 && stem[stem.size() - 2].isHighSurrogate() ? 2 : 1);
            const FilePath name = FilePath::fromEscapedText(stem + mark);
            if (!m_taken.contains(name.foldedText()))
                return take(name);
        }
    }

private:
    FilePath take(const FilePath &name)
    {
        m_decided.insert(name);
        m_taken.insert(name.foldedText());
        return name;
    }

    ThumbnailJournal &m_journal;
    QSet<QString> m_listed;   // folded texts
    QSet<QString> m_taken;    // folded texts: listed, wanted or decided
    QSet<FilePath> m_decided; // as decided
    QMultiHash<FilePath, FilePath> m_byBase;
};

// The screenshots of the game folder that get a thumbnail in this command:
// those the screenshot pass gave output names, each with the name its bitmap
// takes in Thumbs.
std::vector<ThumbnailOrder> planThumbnails(ConvertSession &session, const QList<FilePath> &names,
                                           std::vector<ThumbnailJournal::Entry> &entries,
                                           std::vector<std::pair<FilePath, FilePath>> &bitmapOwners)
{
    const FilePath folder = session.view.gameFolder();
    const FilePath thumbsFolder = folder / kThumbsFolderName;
    const QList<FilePath> bitmaps = caseSafeNames(names);
    BitmapNames bitmapNames(session.thumbnailJournal(thumbsFolder), bitmaps);
    std::vector<ThumbnailOrder> orders;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const auto record = session.records.constFind(names[i]);
        if (record == session.records.cend() || !record->outputBase || !record->loaded)
            continue;
        if (!thumbnailNameFits(*record->outputBase)) {
            ShowJpegNotWritten(session.messages, QStringLiteral("Name too long for its thumbnail: ")
                                                     + thumbnailJpegName(*record->outputBase).escapedText());
            continue;
        }
        const FileTime time = record->loaded->modified;
        const FilePath bitmap = bitmapNames.decide(bitmaps[i], *record->outputBase, time);
        entries.push_back({*record->outputBase, time, {}});
        // Reduced while the screenshot pass had the file loaded; MakeThumbnails
        // reuses it only while it is what loading the file again would give.
        orders.push_back({folder / names[i], thumbsFolder / bitmap, *record->loaded,
                          session.thumbnailsAhead.find(names[i]), &session.writeFolders});
        bitmapOwners.emplace_back(bitmap, names[i]);
    }
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
        session.thumbnailsAhead.start(thumbnailWidth(session.view), workers);
    } catch (const AppError &) {
        return;
    }
}

void makeThumbnailBitmaps(ConvertSession &session)
{
    const QList<FilePath> names = session.listScreenshots(session.view.gameFolder());
    if (names.isEmpty())
        return;
    thumbnailWidth(session.view); // a width that is no use ends the command before anything is written
    std::vector<ThumbnailJournal::Entry> entries;
    std::vector<std::pair<FilePath, FilePath>> bitmapOwners;
    const std::vector<ThumbnailOrder> orders = planThumbnails(session, names, entries, bitmapOwners);
    ThumbnailJournal &journal = session.thumbnailJournal(session.view.gameFolder() / kThumbsFolderName);
    const int workers = session.pipelineWorkers();
    session.prepareWorkers(workers + 1); // one more for the window's thread
    const ThumbnailThreads threads{workers, session.threading.lookAheadPerWorker,
                                   [&](int w) -> WorkerBuffers & { return session.worker(w); }};
    // Each bitmap is noted in the journal, with its bytes, before it takes
    // its name, so that an interrupted command's bitmaps are still known as
    // the program's own.
    const auto naming = [&](std::size_t i, const ContentIdentity &content) {
        entries[i].content = content;
        journal.append(bitmapOwners[i].first, entries[i]);
    };
    const bool finished = MakeThumbnails(session.view, orders, session.thumbnailsAhead.width(), threads, naming, [&](std::size_t i) {
        session.thumbnailOwners.insert(bitmapOwners[i].first, bitmapOwners[i].second);
    });
    session.stopped = !finished;
}

} // namespace grelm
