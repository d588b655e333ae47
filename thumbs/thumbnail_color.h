#pragma once

#include <QRgb>

#include <cstdint>

namespace grelm {

/// Turns a Windows colour value into a red-green-blue value: an RGB value
/// (high byte 0, red in the low byte) passes through; a system-colour
/// reference (high byte 0x80, low byte the COLOR_ index) takes the colour of
/// the matching application palette role; anything else gives black.
QRgb translateColor(std::uint32_t color);

} // namespace grelm
