#include "core/user_messages.h"

namespace grelm {

Message cantLoadBmpMessage(const QString &detail)
{
    return {QStringLiteral("Can't load BMP image"), kApplicationTitle, MessageIcon::None, detail};
}

Message jpegErrorMessage(const QString &message, std::int32_t code, const QString &detail)
{
    return {QStringLiteral("IJL ERROR: [%1] - %2").arg(code).arg(message), kJpegLibraryTitle,
            MessageIcon::Exclamation, detail};
}

Message wrongPathMessage(const QString &detail)
{
    return {QStringLiteral("The path you are currently using is incorrect!"), QStringLiteral("Wrong Path!"),
            MessageIcon::Question, detail};
}

Message outOfMemoryMessage(const QString &detail)
{
    return {QStringLiteral("Not enough memory to convert the screenshots!"), QStringLiteral("Out of Memory!"),
            MessageIcon::Exclamation, detail};
}

Message settingFileMissingMessage(const QString &detail)
{
    return {QStringLiteral("The file that gives me the half-life folder location is missing (sloadpath.txt) "
                           "please make sure it's in the program folder or look at readme.txt to see how to "
                           "create a new one."),
            QStringLiteral("File Not Found!"), MessageIcon::Question, detail};
}

Message settingFileNotSavedMessage(const QString &fileName, const QString &reason)
{
    return {QStringLiteral("The game folder could not be saved in %1, so it will not be remembered "
                           "next time. The program goes on using it until you close it.\n\n%2")
                .arg(fileName, reason),
            QStringLiteral("Folder Not Saved!"), MessageIcon::Exclamation, reason};
}

Message wrongDriveMessage(const QString &detail)
{
    return {QStringLiteral("There is nothing to read in your drive!"), QStringLiteral("Wrong Drive!"),
            MessageIcon::Question, detail};
}

} // namespace grelm
