#include "settings/setting_file.h"

#include "core/atomic_file.h"
#include "core/errors.h"
#include "core/folder_listing.h"
#include "core/numeric.h"

#include <QFile>

#include <cstdint>

namespace grelm {

namespace {

// The last line of the text, without its line end; nothing for an empty text.
// A line ends at CR LF, at CR or at LF; a line end closing the text starts no new line.
std::optional<QByteArray> lastLine(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return std::nullopt;
    qsizetype end = bytes.size();
    if (bytes.endsWith("\r\n"))
        end -= 2;
    else if (bytes.endsWith('\r') || bytes.endsWith('\n'))
        end -= 1;
    qsizetype start = end;
    while (start > 0 && bytes[start - 1] != '\r' && bytes[start - 1] != '\n')
        --start;
    return bytes.mid(start, end - start);
}

// Drops the last character, keeping a surrogate pair together.
void chopLastCharacter(QString &text)
{
    const qsizetype n = text.size();
    const bool pair = n >= 2 && text[n - 1].isLowSurrogate() && text[n - 2].isHighSurrogate();
    text.chop(pair ? 2 : 1);
}

} // namespace

Message settingFileMissingMessage()
{
    return {QStringLiteral("The file that gives me the half-life folder location is missing (sloadpath.txt) "
                           "please make sure it's in the program folder or look at readme.txt to see how to "
                           "create a new one."),
            QStringLiteral("File Not Found!"), MessageIcon::Question};
}

Message settingFileNotSavedMessage(const QString &reason)
{
    return {QStringLiteral("The game folder could not be saved in %1, so it will not be remembered "
                           "next time. The program goes on using it until you close it.\n\n%2")
                .arg(kSettingFileName, reason),
            QStringLiteral("Folder Not Saved!"), MessageIcon::Exclamation};
}

QString settingFilePath(const QString &programFolder)
{
    return joinPath(programFolder, kSettingFileName);
}

std::optional<QString> parseSettingFile(const QByteArray &bytes)
{
    const std::optional<QByteArray> line = lastLine(bytes);
    if (!line)
        return std::nullopt;
    QString text = QString::fromUtf8(*line);
    // The quote's position is kept in 16 bits, so a quote that far in is an overflow.
    std::int16_t quote;
    try {
        quote = checkedNarrow<std::int16_t>(text.indexOf(QLatin1Char('"')) + 1);
        quote = checkedNarrow<std::int16_t>(quote + 1);
    } catch (const OverflowError &) {
        return std::nullopt;
    }
    text = text.mid(quote - 1);
    if (text.isEmpty())
        return std::nullopt;
    chopLastCharacter(text);
    return text;
}

QByteArray settingFileBytes(const QString &folder)
{
    return '"' + folder.toUtf8() + "\"\r\n";
}

std::optional<QString> readSettingFile(const QString &programFolder)
{
    QFile file(settingFilePath(programFolder));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return parseSettingFile(bytes);
}

void writeSettingFile(const QString &programFolder, const QString &folder)
{
    writeFileAtomically(settingFilePath(programFolder), settingFileBytes(folder), true);
}

} // namespace grelm
