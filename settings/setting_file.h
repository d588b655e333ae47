#pragma once

#include "core/messages.h"
#include "core/file_ends.h"
#include "core/file_path.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace grelm {

/// The name of the file, in the program folder, that stores the game folder.
inline const QString kSettingFileName = QStringLiteral("SLoadPath.txt");

/// The setting file's path: the program folder joined with its name.
FilePath settingFilePath(const FilePath &programFolder);

/// How many bytes at the end of a setting file are read: its last line, with the
/// line break before it, must lie within them.
inline constexpr qsizetype kSettingFileTail = 64 * 1024;

/// The folder that the bytes of a setting file give, or nothing when they give
/// none: only the last line counts, everything up to its first double quote and
/// its last character are dropped. CR LF, CR and LF each end a line. A UTF-8
/// byte-order mark is dropped; text with a UTF-16 byte-order mark is decoded.
std::optional<FilePath> parseSettingFile(const QByteArray &bytes);

/// The folder that a setting file gives when only its ends are known, as
/// parseSettingFile gives it for the whole file, or nothing when the last line
/// does not lie wholly within the tail.
std::optional<FilePath> parseSettingFileEnds(const FileEnds &ends);

/// The bytes that store `folder`: the folder in double quotes, then CR LF.
QByteArray settingFileBytes(const FilePath &folder);

/// The folder stored in the setting file inside `folder`, or nothing when the
/// file is missing, not a regular file, unreadable or gives no folder. Only
/// the file's last kSettingFileTail bytes are read, whatever its size.
std::optional<FilePath> readSettingFile(const FilePath &folder);

/// Whether `folder` can be stored: a line break or a NUL in it would not read back.
bool isStorableFolder(const FilePath &folder);

/// Throws FileError saying why when `folder` is not storable.
void requireStorableFolder(const FilePath &folder);

/// Stores `gameFolder` in the setting file inside `folder`, whole or not at all;
/// throws FileError saying why when it cannot, a folder that is not storable included.
void writeSettingFile(const FilePath &folder, const FilePath &gameFolder);

} // namespace grelm
