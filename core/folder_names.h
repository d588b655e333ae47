#pragma once

#include "core/file_path.h"

#include <QString>

namespace grelm {

/// The screenshots of a folder: its bitmap files, matched ignoring case.
inline const QString kScreenshotPattern = QStringLiteral("*.bmp");

/// The game folder's sub-folder that holds the thumbnails.
inline const FilePath kThumbsFolderName{QByteArrayLiteral("Thumbs")};

} // namespace grelm
