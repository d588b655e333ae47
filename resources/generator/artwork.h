#pragma once

#include <QImage>

namespace grelm::artwork {

/// The program icon drawn at `size` pixels square, with transparency; without
/// `smooth` its edges are hard, for pictures of few colours.
QImage icon(int size, bool smooth = true);

/// The banner across the top of the main window: 512 x 80 pixels.
QImage banner();

/// The about window's picture: 512 x 256 pixels.
QImage about();

} // namespace grelm::artwork
