#pragma once

#include <QImage>

namespace grelm {

/// The background picture of the main window and the folder picker: 512 x 384
/// pixels of one-pixel horizontal stripes, even rows black, odd rows RGB(37, 33, 30).
const QImage &stripedBackground();

} // namespace grelm
