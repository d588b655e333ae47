#pragma once

#include "core/messages.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace grelm {

/// The name of the file, in the program folder, that stores the game folder.
inline const QString kSettingFileName = QStringLiteral("SLoadPath.txt");

/// The message shown when the stored game folder cannot be read.
Message settingFileMissingMessage();

/// The message shown when the game folder cannot be stored; `reason` says why.
Message settingFileNotSavedMessage(const QString &reason);

/// The setting file's path: the program folder joined with its name.
QString settingFilePath(const QString &programFolder);

/// The folder that the bytes of a setting file give, or nothing when they give
/// none: only the last line counts, everything up to its first double quote and
/// its last character are dropped. CR LF, CR and LF each end a line.
std::optional<QString> parseSettingFile(const QByteArray &bytes);

/// The bytes that store `folder`: the folder in double quotes, then CR LF.
QByteArray settingFileBytes(const QString &folder);

/// The folder stored in the program folder's setting file, or nothing when the
/// file is missing, unreadable or gives no folder.
std::optional<QString> readSettingFile(const QString &programFolder);

/// Stores `folder` in the program folder's setting file, whole or not at all;
/// throws FileError saying why when it cannot.
void writeSettingFile(const QString &programFolder, const QString &folder);

} // namespace grelm
