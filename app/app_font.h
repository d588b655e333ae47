#pragma once

#include <QFont>
#include "core/file_path.h"

#include <QString>

namespace grelm {

/// Makes the "Tahoma" family available when the system has none: registers the
/// copy in `programFolder`/fonts, else the one Debian's fonts-wine installs.
/// Returns false when no Tahoma could be found (the toolkit then substitutes).
bool registerWindowFont(const FilePath &programFolder);

/// The font of every window and control: Tahoma, 8.25 point, regular. It also
/// stands in for "MS Sans Serif", which exists here only as a rejected bitmap font.
QFont windowFont();

} // namespace grelm
