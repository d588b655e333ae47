#include "convert/thumbnail_pass.h"

#include "convert/convert_session.h"
#include "convert/folder_pass.h"
#include "convert/output_names.h"
#include "convert/thumbnail_journal.h"
#include "core/atomic_file.h"
#include "core/convert_view.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"
#include "core/held_folder.h"
#include "core/user_messages.h"

namespace grelm {

namespace {

// A thumbnail bitmap this command wrote that the thumbnail pass cannot
// convert, found gone or holding other bytes: its screenshot gets no
// thumbnail JPEG and is kept, and the user hears of it.
void reportLostThumbnail(const FilePath &path, ConvertSession &session)
{
    session.messages.show(
        cantLoadBmpMessage(path.escapedText() + QStringLiteral(": not the thumbnail bitmap this Convert wrote")));
}

// The screenshot that a thumbnail stands for, when it was listed once (no
// other name differs from it only in case) and its JPEG was written in this
// command; empty otherwise.
FilePath screenshotToDelete(const FilePath &thumbnail, const ConvertSession &session)
{
    if (session.view.gameFolder() != session.screenshotFolder)
        return {};
    const FilePath owner = session.thumbnailOwners.value(thumbnail);
    if (owner.isEmpty() || session.records.value(owner).jpeg.isEmpty() || session.caseTwins.contains(owner))
        return {};
    return owner;
}

// Queues the screenshot a converted thumbnail stands for to be deleted once
// both its JPEGs are on the disk, where the user asked for it; a screenshot
// that changed since it was loaded is kept.
void queueScreenshotDeletion(const PassFile &file, ConvertSession &session, DeletionGroup &deletions)
{
    if (!session.view.deleteSourceChecked())
        return;
    const FilePath screenshot = screenshotToDelete(file.name, session);
    if (screenshot.isEmpty())
        return;
    const ConvertSession::ScreenshotRecord record = session.records.value(screenshot);
    const FilePath path = session.screenshotFolder / screenshot;
    DeletionGroup::Pending pending{path, record.loaded, record.jpeg, file.output};
    if (fileUnchanged(path, record.loaded) && !(session.holdDeletion && session.holdDeletion(pending)))
        deletions.add(std::move(pending));
}

class ThumbnailPass final : public FolderPass {
public:
    explicit ThumbnailPass(ConvertSession &session) : m_session(session) {}

    // Only the bitmaps the journal names are converted (those that still hold
    // the bytes it records for them, which their load checks), each to the
    // name decided for its screenshot, while that name passes the rule of
    // every output name.
    std::vector<PassFile> plan(const FilePath &folder) override
    {
        const QList<FilePath> names = FolderListing::all(folder, kScreenshotPattern);
        const ThumbnailJournal &journal = m_session.thumbnailJournal(folder);
        std::vector<PassFile> files;
        for (const FilePath &name : names) {
            const ThumbnailJournal::Entry *entry = journal.find(name);
            if (!entry)
                continue;
            const FilePath output = folder / thumbnailJpegName(entry->base);
            if (mayWriteOutput(output, entry->time))
                files.push_back({name, folder / name, output, entry->content, entry->time});
        }
        return files;
    }

    // A bitmap that is not (any more) the one the journal recorded is not the
    // program's: it is forgotten, and reported when this command wrote it.
    bool accept(const PassFile &file, const PreparedJpeg &prepared) override
    {
        if (!prepared.notExpected)
            return true;
        m_session.thumbnailJournal(file.source.folder()).remove(file.name);
        if (m_session.thumbnailOwners.contains(file.name))
            reportLostThumbnail(file.source, m_session);
        return false;
    }

    // Removes a converted thumbnail bitmap, unless it changed since it was
    // loaded, and queues its screenshot for deletion.
    void committed(const PassFile &file, const PreparedJpeg &prepared, bool written, DeletionGroup &deletions) override
    {
        if (!written)
            return;
        const FileAt bitmap = fileAt(&m_session.writeFolders, file.source);
        if (fileUnchanged(bitmap, prepared.stamp)) {
            deleteFile(bitmap);
            m_session.thumbnailJournal(file.source.folder()).remove(file.name);
        }
        queueScreenshotDeletion(file, m_session, deletions);
        m_session.deletedScreenshots += deletions.flushWhenDue();
    }

    // Reports the bitmaps this command wrote that the pass never found, and
    // stores what is left of the journal.
    void finish(const FilePath &folder, const std::vector<PassFile> &files) override
    {
        if (!m_session.stopped)
            reportNeverFound(folder, files);
        m_session.thumbnailJournal(folder).save();
    }

private:
    void reportNeverFound(const FilePath &folder, const std::vector<PassFile> &files)
    {
        QSet<FilePath> found;
        for (const PassFile &file : files)
            found.insert(file.name);
        QList<FilePath> lost;
        for (auto it = m_session.thumbnailOwners.cbegin(); it != m_session.thumbnailOwners.cend(); ++it) {
            if (!found.contains(it.key()))
                lost << it.key();
        }
        sortByText(lost, Qt::CaseSensitive);
        for (const FilePath &name : lost)
            reportLostThumbnail(folder / name, m_session);
    }

    ConvertSession &m_session;
};

} // namespace

void convertThumbnails(const FilePath &folder, ConvertSession &session)
{
    ThumbnailPass pass(session);
    runFolderPass(folder, pass, session);
}

} // namespace grelm
