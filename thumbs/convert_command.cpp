#include "thumbs/convert_command.h"

#include "core/convert_view.h"
#include "core/errors.h"
#include "core/folder_listing.h"
#include "core/messages.h"
#include "imaging/batch_conversion.h"
#include "imaging/convert_pass.h"
#include "thumbs/make_thumbnails.h"

#include <QFile>

#include <filesystem>
#include <system_error>

namespace grelm {

namespace {

// Makes the Thumbs folder unless an entry of that name, file or folder, is there.
void ensureThumbsFolder(const QString &gameFolder)
{
    // An empty folder text would name the root of the file system.
    if (gameFolder.isEmpty())
        throw FileError("No game folder is set");
    const std::filesystem::path thumbs(QFile::encodeName(joinPath(gameFolder, QStringLiteral("Thumbs"))).toStdString());
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(thumbs, error)))
        return;
    if (!std::filesystem::create_directory(thumbs, error) || error)
        throw FileError("Cannot make " + thumbs.string() + ": " + error.message());
}

void runSteps(ConvertSession &session)
{
    ConvertView &view = session.view;
    const QString gameFolder = view.gameFolder();
    ensureThumbsFolder(gameFolder);
    planThumbnailsAhead(session);
    ConvertFolder(gameFolder, kScreenshotPass, session);
    session.whileLoaded = nullptr;
    if (session.stopped || !view.thumbsChecked())
        return;
    MakeThumbnails(session);
    session.byproducts.clear();
    if (session.stopped)
        return;
    ConvertFolder(joinPath(view.gameFolder(), QStringLiteral("Thumbs")), kThumbnailPass, session);
}

} // namespace

void runConvertCommand(ConvertSession &session)
{
    try {
        runSteps(session);
    } catch (const std::exception &) {
        session.messages.show({QStringLiteral("The path you are currently using is incorrect!"),
                               QStringLiteral("Wrong Path!"), MessageIcon::Question});
    }
}

} // namespace grelm
