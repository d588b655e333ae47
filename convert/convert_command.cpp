#include "convert/convert_command.h"

#include "core/convert_view.h"
#include "core/errors.h"
#include "core/file_stamp.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"
#include "core/messages.h"
#include "core/staging_leftovers.h"
#include "core/user_messages.h"
#include "convert/convert_session.h"
#include "convert/screenshot_pass.h"
#include "convert/thumbnail_branch.h"
#include "convert/thumbnail_pass.h"

#include <cerrno>
#include <cstring>
#include <new>

namespace grelm {

namespace {

// Opens the game folder (links followed, as its path leads), makes its
// Thumbs when asked and no entry of that name, file or folder, is there, and
// opens that too: the command's writes go only to the folders held. A folder
// that cannot be opened is not held, and nothing is written in it.
void holdFolders(ConvertSession &session, const FilePath &gameFolder, bool makeThumbs)
{
    session.writeFolders.restrict();
    // An empty folder text would name the folder the program runs in.
    if (makeThumbs && gameFolder.isEmpty())
        throw FileError("No game folder is set");
    const QByteArray thumbsPath = (gameFolder / kThumbsFolderName).bytes();
    std::optional<HeldFolder> game = HeldFolder::open(gameFolder);
    if (!game) {
        if (makeThumbs)
            throw FileError("Cannot make " + thumbsPath.toStdString() + ": " + std::strerror(errno));
        return;
    }
    if (makeThumbs && !game->makeFolderUnlessTaken(kThumbsFolderName))
        throw FileError("Cannot make " + thumbsPath.toStdString() + ": " + std::strerror(errno));
    if (std::optional<HeldFolder> thumbs = HeldFolder::open(*game, kThumbsFolderName))
        session.writeFolders.hold(*std::move(thumbs));
    session.writeFolders.hold(*std::move(game));
}

// With thumbnails on, a Thumbs that is the game folder itself (a link back to
// it) would have the thumbnail pass convert and delete the screenshots.
void refuseThumbsThatIsTheGameFolder(const ConvertSession &session)
{
    const ConvertView &view = session.view;
    if (!view.thumbsChecked())
        return;
    const FilePath gameFolder = view.gameFolder();
    const FilePath thumbsFolder = gameFolder / kThumbsFolderName;
    const HeldFolder *heldGame = session.writeFolders.find(gameFolder);
    const HeldFolder *heldThumbs = session.writeFolders.find(thumbsFolder);
    const std::optional<FileStamp> game = heldGame ? fileStamp(heldGame->descriptor()) : fileStamp(gameFolder);
    const std::optional<FileStamp> thumbs = heldThumbs ? fileStamp(heldThumbs->descriptor()) : fileStamp(thumbsFolder);
    if (game && thumbs && game->device == thumbs->device && game->inode == thumbs->inode)
        throw FileError("The Thumbs folder is the game folder itself");
}

void runSteps(ConvertSession &session)
{
    ConvertView &view = session.view;
    const FilePath gameFolder = view.gameFolder();
    holdFolders(session, gameFolder, true);
    const HeldFolder *game = session.writeFolders.find(gameFolder);
    session.gameFolderAtStart = FolderAtStart{gameFolder, game ? fileStamp(game->descriptor()) : fileStamp(gameFolder)};
    refuseThumbsThatIsTheGameFolder(session);
    const FileTime leftoversBefore = session.stagingLeftoversBefore.value_or(stagingLeftoverCutoff());
    for (const FilePath &folder : {gameFolder, gameFolder / kThumbsFolderName}) {
        if (const HeldFolder *held = session.writeFolders.find(folder))
            removeStagingLeftovers(*held, leftoversBefore);
    }
    planThumbnailsAhead(session);
    ConvertFolder(gameFolder, kScreenshotPass, session);
    session.thumbnailsAhead.stop();
    if (session.stopped || !view.thumbsChecked())
        return;
    // The box may have been ticked, or the folder changed, during the pass.
    if (!session.writeFolders.find(view.gameFolder()))
        holdFolders(session, view.gameFolder(), false);
    refuseThumbsThatIsTheGameFolder(session);
    makeThumbnailBitmaps(session);
    session.thumbnailsAhead.clear();
    if (session.stopped)
        return;
    // Thumbnails go through bitmaps in Thumbs, converted by the same pass as
    // the screenshots, so that each one is a file of its own until its JPEG is
    // whole, and an interrupted command leaves them to convert next time.
    ConvertFolder(view.gameFolder() / kThumbsFolderName, kThumbnailPass, session);
}

} // namespace

void ConvertFolder(const FilePath &folder, PassKind mode, ConvertSession &session)
{
    if (mode == kScreenshotPass)
        convertScreenshots(folder, session);
    else
        convertThumbnails(folder, session);
}

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
