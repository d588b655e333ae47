#include "convert/convert_session.h"

#include "core/errors.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"

#include "imaging/dib_section.h"
#include "imaging/jpeg_encoder.h"
#include "thumbs/area_reduction.h"

#include <QByteArray>

#include <algorithm>
#include <thread>

namespace grelm {

ConvertSession::ConvertSession(ConvertView &v, MessageSink &m, cDIBSection &buffer, ConvertThreading t)
    : view(v), messages(m), inlineBuffer(buffer), threading(t), m_budget(t.memoryBudget)
{
}

ConvertSession::~ConvertSession() = default;

int ConvertSession::pipelineWorkers() const
{
    return threading.sequential ? 0 : std::max(threading.workers, 1);
}

void ConvertSession::prepareWorkers(int count)
{
    while (int(m_workers.size()) < count)
        m_workers.push_back(std::make_unique<WorkerBuffers>(&m_budget, &reductionScratchBytes));
}

JpegEncoder &ConvertSession::inlineEncoder()
{
    if (!m_inlineEncoder)
        m_inlineEncoder = std::make_unique<JpegEncoder>();
    return *m_inlineEncoder;
}

ThumbnailJournal &ConvertSession::thumbnailJournal(const FilePath &thumbsFolder)
{
    const std::optional<FileStamp> now = fileStamp(thumbsFolder);
    if (!m_journal || m_journal->folder() != thumbsFolder) {
        m_journal = ThumbnailJournal::read(thumbsFolder);
        m_journal->writeWithin(&writeFolders);
        m_journalFolder = now;
    } else if (now && m_journalFolder && (now->device != m_journalFolder->device || now->inode != m_journalFolder->inode)) {
        // Another folder (or a link to one) put in its place: what the journal
        // and its listing say is not about that folder's files.
        throw FileError("The Thumbs folder was replaced during the command: "
                        + thumbsFolder.escapedText().toStdString());
    }
    return *m_journal;
}

QList<FilePath> ConvertSession::listScreenshots(const FilePath &folder) const
{
    if (!onlyScreenshots)
        return FolderListing::all(folder, kScreenshotPattern);
    // What a listing filtered down to these names would give, without
    // listing a folder that may hold a hundred thousand others.
    QList<FilePath> names;
    for (const FilePath &name : *onlyScreenshots) {
        if (!name.bytes().startsWith('.') && matchesWildcard(name, kScreenshotPattern) && isListedFile(folder / name))
            names << name;
    }
    sortAsListed(names);
    return names;
}

ConvertThreading ConvertThreading::fromEnvironment()
{
    ConvertThreading threading;
    bool ok = false;
    const int requested = qEnvironmentVariableIntValue("GRELM_WORKERS", &ok);
    threading.workers = ok ? requested : int(std::thread::hardware_concurrency());
    if (threading.workers < 1)
        threading.workers = 1;
    return threading;
}

} // namespace grelm
