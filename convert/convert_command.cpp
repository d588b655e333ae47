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
#include "convert/screenshot_pass.h"
#include "convert/thumbnail_branch.h"
#include "convert/thumbnail_pass.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <new>
#include <fcntl.h>
#include <sys/stat.h>

namespace grelm {

namespace {

// Opens the game folder (links followed, as its path leads), makes its
// Thumbs when asked and no entry of that name, file or folder, is there, and
// opens that too: the command's writes go only to the folders held. A folder
// that cannot be opened is not held, and nothing is written in it.
void holdFolders(ConvertSession &session, const QString &gameFolder, bool makeThumbs)
{
    session.writeFolders.restrict();
    // An empty folder text would name the folder the program runs in.
    if (makeThumbs && gameFolder.isEmpty())
        throw FileError("No game folder is set");
    const QByteArray thumbsPath = encodeFileName(joinPath(gameFolder, kThumbsFolderName));
    std::optional<HeldFolder> game = HeldFolder::open(gameFolder);
    if (!game) {
        if (makeThumbs)
            throw FileError("Cannot make " + thumbsPath.toStdString() + ": " + std::strerror(errno));
        return;
    }
    const QByteArray thumbsName = encodeFileName(kThumbsFolderName);
    struct stat info {};
    if (makeThumbs && ::fstatat(game->descriptor(), thumbsName.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0
        && ::mkdirat(game->descriptor(), thumbsName.constData(), 0777) != 0)
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
    const QString gameFolder = view.gameFolder();
    const QString thumbsFolder = joinPath(gameFolder, kThumbsFolderName);
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
    const QString gameFolder = view.gameFolder();
    holdFolders(session, gameFolder, true);
    const HeldFolder *game = session.writeFolders.find(gameFolder);
    session.gameFolderAtStart = FolderAtStart{gameFolder, game ? fileStamp(game->descriptor()) : fileStamp(gameFolder)};
    refuseThumbsThatIsTheGameFolder(session);
    const FileTime leftoversBefore = session.stagingLeftoversBefore.value_or(stagingLeftoverCutoff());
    for (const QString &folder : {gameFolder, joinPath(gameFolder, kThumbsFolderName)}) {
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
    ConvertFolder(joinPath(view.gameFolder(), kThumbsFolderName), kThumbnailPass, session);
}

} // namespace

void ConvertFolder(const QString &folder, PassKind mode, ConvertSession &session)
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
