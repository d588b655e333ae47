#pragma once

#include "core/messages.h"

#include <QString>

#include <cstdint>

namespace grelm {

/// The title of the JPEG writer's message boxes: the library that writes the files.
inline const QString kJpegLibraryTitle = QStringLiteral("libjpeg-turbo JPEG Library");

/// Each message box the program shows, made in this one place; `detail` is
/// the cause, which the box does not show.

/// A file that is not a readable bitmap.
Message cantLoadBmpMessage(const QString &detail = {});
/// The JPEG library's report: "IJL ERROR: [code] - message".
Message jpegErrorMessage(const QString &message, std::int32_t code, const QString &detail = {});
/// Any failure of the Convert command that nothing lower reported.
Message wrongPathMessage(const QString &detail = {});
/// The Convert command ran out of memory.
Message outOfMemoryMessage(const QString &detail = {});
/// The setting file cannot be read at start-up.
Message settingFileMissingMessage(const QString &detail = {});
/// The game folder could not be stored in the setting file `fileName`, for `reason`.
Message settingFileNotSavedMessage(const QString &fileName, const QString &reason);
/// The folder picker's drive holds nothing to read.
Message wrongDriveMessage(const QString &detail = {});

} // namespace grelm
