#pragma once

#include "core/messages.h"
#include "settings/file_ends.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace grelm {

/// The name of the file, in the program folder, that stores the game folder.
inline const QString kSettingFileName = QStringLiteral("SLoadPath.txt");

/// The setting file's path: the program folder joined with its name.
QString settingFilePath(const QString &programFolder);

/// How many bytes at the end of a setting file are read: its last line, with the
/// line break before it, must lie within them.
inline constexpr qsizetype kSettingFileTail = 64 * 1024;

/// The folder that the bytes of a setting file give, or nothing when they give
/// none: only the last line counts, everything up to its first double quote and
/// its last character are dropped. CR LF, CR and LF each end a line. A UTF-8
/// byte-order mark is dropped; text with a UTF-16 byte-order mark is decoded.
std::optional<QString> parseSettingFile(const QByteArray &bytes);

/// The folder that a setting file gives when only its ends are known, as
/// parseSettingFile gives it for the whole file, or nothing when the last line
/// does not lie wholly within the tail.
std::optional<QString> parseSettingFileEnds(const FileEnds &ends);

/// The bytes that store `folder`: the folder in double quotes, then CR LF.
QByteArray settingFileBytes(const QString &folder);

/// The folder stored in the setting file inside `folder`, or nothing when the
/// file is missing, not a regular file, unreadable or gives no folder. Only
/// the file's last kSettingFileTail bytes are read, whatever its size.
std::optional<QString> readSettingFile(const QString &folder);

/// Whether `folder` can be stored: a line break or a NUL in it would not read back.
bool isStorableFolder(const QString &folder);

/// Throws FileError saying why when `folder` is not storable.
void requireStorableFolder(const QString &folder);

/// Stores `gameFolder` in the setting file inside `folder`, whole or not at all;
/// throws FileError saying why when it cannot, a folder that is not storable included.
void writeSettingFile(const QString &folder, const QString &gameFolder);

} // namespace grelm
