#include "imaging/convert_pass.h"

#include "core/atomic_file.h"
#include "core/convert_view.h"
#include "core/errors.h"
#include "core/folder_listing.h"
#include "core/messages.h"
#include "imaging/convert_pass_encode.h"
#include "imaging/convert_pass_files.h"
#include "imaging/convert_pass_jobs.h"
#include "imaging/convert_pass_names.h"
#include "imaging/convert_pass_progress.h"
#include "imaging/batch_conversion.h"
#include "imaging/helpers.h"
#include "imaging/pipeline.h"

#include <QFileInfo>

namespace grelm {

namespace {

struct PassFile {
    QString name;   ///< as listed
    QString source;
    QString output;
};

std::vector<PassFile> planPass(const QString &folder, const QStringList &names, std::int16_t mode)
{
    const QStringList bases = outputBaseNames(names);
    const QString prefix = mode == kThumbnailPass ? QStringLiteral("th_") : QString();
    std::vector<PassFile> files;
    files.reserve(std::size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        files.push_back({names[i], joinPath(folder, names[i]), joinPath(folder, prefix + bases[i] + QStringLiteral(".jpg"))});
    return files;
}

// Writes the prepared JPEG after replaying what its preparation reported;
// true when the file was written.
bool commitJpeg(const PassFile &file, PreparedJpeg &prepared, MessageSink &messages)
{
    for (const Message &m : prepared.messages)
        messages.show(m);
    if (prepared.status != 0) {
        ShowIJLError(messages, QStringLiteral("Failed to save to JPG"), prepared.status);
        return false;
    }
    try {
        writeFileAtomically(file.output, prepared.jpeg);
    } catch (const FileError &) {
        ShowIJLError(messages, QStringLiteral("Failed to save to JPG"), jpegWriteFailedStatus());
        return false;
    }
    keepModificationTime(file.output, prepared.sourceTime);
    return true;
}

// The screenshot that a thumbnail stands for, when exactly one screenshot of
// the game folder has its name (ignoring case) and its JPEG was written in
// this command; empty otherwise.
QString screenshotToDelete(const QString &thumbnail, const ConvertSession &session)
{
    if (session.view.gameFolder() != session.screenshotFolder)
        return {};
    QString found;
    for (const QString &name : session.screenshots) {
        if (name.compare(thumbnail, Qt::CaseInsensitive) != 0)
            continue;
        if (!found.isEmpty())
            return {}; // names that differ only in case: neither is deleted
        found = name;
    }
    if (found.isEmpty() || !session.writtenJpegs.contains(found))
        return {};
    return found;
}

void deleteAfterThumbnail(const PassFile &file, ConvertSession &session)
{
    deleteFile(file.source);
    if (!session.view.deleteSourceChecked())
        return;
    const QString screenshot = screenshotToDelete(file.name, session);
    const QString path = joinPath(session.screenshotFolder, screenshot);
    if (screenshot.isEmpty() || !QFileInfo::exists(path))
        return;
    // Both JPEGs reach the disk before the only other copy of the picture goes.
    const QString screenshotJpeg = session.writtenJpegs.value(screenshot);
    syncFileToDisk(file.output);
    syncFileToDisk(QFileInfo(file.output).path());
    syncFileToDisk(screenshotJpeg);
    syncFileToDisk(QFileInfo(screenshotJpeg).path());
    deleteFile(path);
}

void keepByproduct(const PassFile &file, const PreparedJpeg &prepared, ConvertSession &session)
{
    if (!prepared.hasByproduct || session.byproductBytes + prepared.byproduct.size() > ConvertSession::kByproductBudget)
        return;
    session.byproducts.insert(file.name, {prepared.byproduct, prepared.stamp});
    session.byproductBytes += prepared.byproduct.size();
}

void commitFile(const PassFile &file, PreparedJpeg &prepared, std::int16_t mode, ConvertSession &session)
{
    const bool written = commitJpeg(file, prepared, session.messages);
    if (mode == kScreenshotPass) {
        if (written)
            session.writtenJpegs.insert(file.name, file.output);
        keepByproduct(file, prepared, session);
    } else if (written) {
        deleteAfterThumbnail(file, session);
    }
}

} // namespace

void ConvertFolder(const QString &folder, std::int16_t mode, ConvertSession &session)
{
    const QStringList names = FolderListing::all(folder, QStringLiteral("*.bmp"));
    if (mode == kScreenshotPass) {
        session.screenshotFolder = folder;
        session.screenshots = names;
        session.writtenJpegs.clear();
        session.byproducts.clear();
        session.byproductBytes = 0;
    }
    const std::vector<PassFile> files = planPass(folder, names, mode);
    const int workers = session.pipelineWorkers();
    session.prepareWorkers(workers);
    OrderedPipeline<PreparedJpeg> pipeline(files.size(), workers, std::size_t(session.threading.lookAheadPerWorker),
                                           [&](std::size_t i, int worker, PreparedJpeg &slot) {
                                               prepareJpeg(session, files[i].source, worker, slot);
                                           });
    for (std::size_t i = 0; i < files.size(); ++i) {
        PreparedJpeg &prepared = pipeline.take(i, [&] { session.view.processEvents(); });
        if (i > 0 && session.view.stopRequested()) {
            session.stopped = true;
            break;
        }
        commitFile(files[i], prepared, mode, session);
        showPassProgress(session.view, i);
    }
    if (!files.empty())
        session.view.hideProgress();
}

} // namespace grelm
