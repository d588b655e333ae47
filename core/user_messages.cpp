#include "core/user_messages.h"

namespace grelm {

Q_LOGGING_CATEGORY(lcMessages, "grelm.messages", QtInfoMsg)

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

Message wrongDriveMessage(const QString &detail)
{
    return {QStringLiteral("There is nothing to read in your drive!"), QStringLiteral("Wrong Drive!"),
            MessageIcon::Question, detail};
}

} // namespace grelm
