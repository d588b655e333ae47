#pragma once

#include <QString>

namespace grelm {

/// The banner across the top of the main window, 512 x 80 pixels.
extern const QString kBannerPicture;
/// The about window's picture, 512 x 256 pixels.
extern const QString kAboutPicture;
/// The program icon: 48, 32, 24 and 16 pixels at 4, 8 and 32 bits.
extern const QString kIconFile;
/// The program icon as one large picture, for scaling to other sizes.
extern const QString kIconPicture;

} // namespace grelm
