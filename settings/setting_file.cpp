#include "settings/setting_file.h"

#include "core/atomic_file.h"
#include "core/errors.h"
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

FilePath settingFilePath(const FilePath &programFolder)
{
    return programFolder / kSettingFileName.toUtf8();
}

std::optional<FilePath> parseSettingFile(const QByteArray &bytes)
{
    return parseSettingFileEnds({bytes, bytes, 0});
}

std::optional<FilePath> parseSettingFileEnds(const FileEnds &ends)
{
    const std::optional<QByteArray> line = lastLine(settingText(ends));
    if (!line)
        return std::nullopt;
    // Positions and the last character count in the text, as the file was always read.
    QString text = FilePath(*line).escapedText();
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
    return FilePath::fromEscapedText(text);
}

QByteArray settingFileBytes(const FilePath &folder)
{
    return '"' + folder.bytes() + "\"\r\n";
}

std::optional<FilePath> readSettingFile(const FilePath &folder)
{
    // Three bytes hold the longest byte-order mark.
    const std::optional<FileEnds> ends = readFileEnds(settingFilePath(folder), 3, kSettingFileTail);
    if (!ends)
        return std::nullopt;
    return parseSettingFileEnds(*ends);
}

bool isStorableFolder(const FilePath &folder)
{
    const QByteArray &bytes = folder.bytes();
    return !bytes.contains('\r') && !bytes.contains('\n') && !bytes.contains('\0');
}

void requireStorableFolder(const FilePath &folder)
{
    if (!isStorableFolder(folder))
        throw FileError("The folder's name holds a line break or a NUL character, which the setting file cannot keep.");
}

void writeSettingFile(const FilePath &folder, const FilePath &gameFolder)
{
    requireStorableFolder(gameFolder);
    writeFileAtomically(settingFilePath(folder), settingFileBytes(gameFolder), true);
}

} // namespace grelm
