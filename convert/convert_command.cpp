#include "convert/convert_command.h"

#include "core/file_names.h"
#include "core/convert_view.h"
#include "core/errors.h"
#include "core/file_stamp.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"
#include "core/messages.h"
#include "core/staging_leftovers.h"
#include "core/user_messages.h"
#include "convert/convert_session.h"
#include "convert/convert_pass.h"
#include "convert/thumbnail_branch.h"

#include <QFile>

#include <filesystem>
#include <new>
#include <system_error>

namespace grelm {

namespace {

// Makes the Thumbs folder unless an entry of that name, file or folder, is there.
void ensureThumbsFolder(const QString &gameFolder)
{
    // An empty folder text would name the root of the file system.
    if (gameFolder.isEmpty())
        throw FileError("No game folder is set");
    const std::filesystem::path thumbs(encodeFileName(joinPath(gameFolder, kThumbsFolderName)).toStdString());
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(thumbs, error)))
        return;
    if (!std::filesystem::create_directory(thumbs, error) || error)
        throw FileError("Cannot make " + thumbs.string() + ": " + error.message());
}

// With thumbnails on, a Thumbs that is the game folder itself (a link back to
// it) would have the thumbnail pass convert and delete the screenshots.
void refuseThumbsThatIsTheGameFolder(const ConvertView &view)
{
    if (!view.thumbsChecked())
        return;
    const QString gameFolder = view.gameFolder();
    const std::optional<FileStamp> game = fileStamp(gameFolder);
    const std::optional<FileStamp> thumbs = fileStamp(joinPath(gameFolder, kThumbsFolderName));
    if (game && thumbs && game->device == thumbs->device && game->inode == thumbs->inode)
        throw FileError("The Thumbs folder is the game folder itself");
}

void runSteps(ConvertSession &session)
{
    ConvertView &view = session.view;
    const QString gameFolder = view.gameFolder();
    session.gameFolderAtStart = FolderAtStart{gameFolder, fileStamp(gameFolder)};
    ensureThumbsFolder(gameFolder);
    refuseThumbsThatIsTheGameFolder(view);
    const FileTime leftoversBefore = session.stagingLeftoversBefore.value_or(stagingLeftoverCutoff());
    removeStagingLeftovers(gameFolder, leftoversBefore);
    removeStagingLeftovers(joinPath(gameFolder, kThumbsFolderName), leftoversBefore);
    planThumbnailsAhead(session);
    ConvertFolder(gameFolder, kScreenshotPass, session);
    session.reduceWhileLoaded = nullptr;
    if (session.stopped || !view.thumbsChecked())
        return;
    // The box may have been ticked, or the folder changed, during the pass.
    refuseThumbsThatIsTheGameFolder(view);
    makeThumbnailBitmaps(session);
    session.thumbnailsMadeAhead.clear();
    if (session.stopped)
        return;
    // Thumbnails go through bitmaps in Thumbs, converted by the same pass as
    // the screenshots, so that each one is a file of its own until its JPEG is
    // whole, and an interrupted command leaves them to convert next time.
    ConvertFolder(joinPath(view.gameFolder(), kThumbsFolderName), kThumbnailPass, session);
}

} // namespace

void runConvertCommand(ConvertSession &session)
{
    try {
        runSteps(session);
    } catch (const std::bad_alloc &e) {
        session.messages.show(outOfMemoryMessage(QString::fromUtf8(e.what())));
    } catch (const std::exception &e) {
        session.messages.show(wrongPathMessage(QString::fromUtf8(e.what())));
    }
}

} // namespace grelm
