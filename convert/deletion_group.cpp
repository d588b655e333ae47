#include "convert/deletion_group.h"

#include "core/atomic_file.h"
#include "core/errors.h"
#include "core/write_lease.h"

#include <QList>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

namespace grelm {

namespace {
constexpr qsizetype kFlushThreads = 16;
}

void DeletionGroup::add(Pending pending)
{
    if (m_pending.empty())
        m_firstAdded = std::chrono::steady_clock::now();
    m_pending.push_back(std::move(pending));
}

int DeletionGroup::flushWhenDue()
{
    if (m_pending.size() >= kMostFiles
        || (!m_pending.empty() && std::chrono::steady_clock::now() - m_firstAdded >= kLongestWait))
        return flush();
    return 0;
}

namespace {

// Flushes every file of `paths`, several at a time: the disk then serves the
// cache flushes that many waiting flushes ask for together. Throws the first
// failure once all are done.
void syncAllToDisk(const std::vector<FileAt> &files)
{
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            try {
                syncFileToDisk(files[i]);
            } catch (...) {
                const std::lock_guard lock(failureLock);
                if (!failure)
                    failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> threads;
    for (qsizetype t = 1; t < std::min<qsizetype>(kFlushThreads, qsizetype(files.size())); ++t)
        threads.emplace_back(work);
    work();
    for (std::thread &t : threads)
        t.join();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace

// Flushes each folder's entries: through the folder held open when there is
// one, else by its path.
void DeletionGroup::syncFolders(const QList<FilePath> &folders) const
{
    std::vector<FileAt> byPath;
    for (const FilePath &folder : folders) {
        const HeldFolder *held = m_within && m_within->restricted() ? m_within->find(folder) : nullptr;
        if (held)
            held->sync();
        else if (m_within && m_within->restricted())
            throw FileError("Not in a folder of the command: " + folder.bytes().toStdString());
        else
            byPath.push_back(FileAt::ofPath(folder));
    }
    syncAllToDisk(byPath);
}

int DeletionGroup::flush()
{
    std::vector<Pending> group;
    group.swap(m_pending);
    std::vector<FileAt> files;
    QSet<FilePath> folders;
    for (const Pending &p : group) {
        files.push_back(fileAt(m_within, p.jpeg));
        files.push_back(fileAt(m_within, p.thumbnailJpeg));
        folders << files[files.size() - 2].path.folder() << files.back().path.folder();
    }
    syncAllToDisk(files);
    syncFolders(folders.values());
    // Saved over while its JPEGs were written or flushed, or still open for
    // writing (a pre-sized file filled in pieces keeps its stamp for a
    // while): the screenshot stays for the next Convert.
    WriterCheck writers;
    int deleted = 0;
    for (const Pending &p : group) {
        const FileAt screenshot = fileAt(m_within, p.screenshot);
        if (fileUnchanged(screenshot, p.converted) && !writers.beingWritten(screenshot)) {
            deleteFile(screenshot);
            ++deleted;
        }
    }
    return deleted;
}

} // namespace grelm
