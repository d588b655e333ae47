#pragma once

#include <cstdint>

namespace grelm::bench {

/// Paints a game-frame-like picture (sky and ground gradients, soft textured
/// noise, shaded boxes, glowing lights, a HUD and a little grain) as bottom-up
/// 24-bit blue-green-red rows of `stride` bytes. The same size and seed always
/// give the same pixels.
void paintScreenshot(int width, int height, std::uint64_t seed, std::uint8_t *rows, int stride);

} // namespace grelm::bench
