#pragma once

#include <cstddef>

namespace grelm {

class ConvertView;

/// The width of the progress bar's fill after `done` of `count` files on a
/// bar `width` pixels wide, rounded half to even and kept within the bar
/// whatever the count (none, zero, or smaller than the files really there).
int progressFill(std::size_t done, double count, int width);

/// The progress step that follows the file of pass index `index`: the first
/// file shows the bar and its caption, each later one updates both and lets
/// the window handle its pending events.
void showPassProgress(ConvertView &view, std::size_t index);

} // namespace grelm
