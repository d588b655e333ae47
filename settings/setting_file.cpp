#include "settings/setting_file.h"

#include "core/file_names.h"

#include "core/atomic_file.h"
#include "core/errors.h"
#include "core/folder_listing.h"
#include "core/numeric.h"
#include "settings/setting_text.h"

#include <cstdint>

namespace grelm {

namespace {

// Drops the last character, keeping a surrogate pair together.
void chopLastCharacter(QString &text)
{
    const qsizetype n = text.size();
    const bool pair = n >= 2 && text[n - 1].isLowSurrogate() && text[n - 2].isHighSurrogate();
    text.chop(pair ? 2 : 1);
}

} // namespace

QString settingFilePath(const QString &programFolder)
{
    return joinPath(programFolder, kSettingFileName);
}

std::optional<QString> parseSettingFile(const QByteArray &bytes)
{
    return parseSettingFileEnds({bytes, bytes, 0});
}

std::optional<QString> parseSettingFileEnds(const FileEnds &ends)
{
    const std::optional<QByteArray> line = lastLine(settingText(ends));
    if (!line)
        return std::nullopt;
    QString text = decodeFileName(*line);
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
    return '"' + encodeFileName(folder) + "\"\r\n";
}

std::optional<QString> readSettingFile(const QString &folder)
{
    // Three bytes hold the longest byte-order mark.
    const std::optional<FileEnds> ends = readFileEnds(settingFilePath(folder), 3, kSettingFileTail);
    if (!ends)
        return std::nullopt;
    return parseSettingFileEnds(*ends);
}

bool isStorableFolder(const QString &folder)
{
    return !folder.contains(QLatin1Char('\r')) && !folder.contains(QLatin1Char('\n'))
           && !folder.contains(QChar(u'\0'));
}

void requireStorableFolder(const QString &folder)
{
    if (!isStorableFolder(folder))
        throw FileError("The folder's name holds a line break or a NUL character, which the setting file cannot keep.");
}

void writeSettingFile(const QString &folder, const QString &gameFolder)
{
    requireStorableFolder(gameFolder);
    writeFileAtomically(settingFilePath(folder), settingFileBytes(gameFolder), true);
}

} // namespace grelm
