#pragma once

#include <QString>

#include <cstdint>

namespace grelm {

struct ConvertSession;

/// The screenshot pass: each bitmap becomes a JPEG beside it; nothing is deleted.
inline constexpr std::int16_t kScreenshotPass = 0;
/// The thumbnail pass: each thumbnail bitmap becomes "th_" + name + ".jpg", the
/// bitmap is removed, and the screenshot too where the user asked for it.
inline constexpr std::int16_t kThumbnailPass = 1;

/// Converts every bitmap of `folder` to JPEG in listing order, driving the
/// progress caption and bar and letting the window handle its events between
/// files. Load and write failures are reported and the pass goes on; any
/// other failure is thrown, with nothing after the failing file touched.
void ConvertFolder(const QString &folder, std::int16_t mode, ConvertSession &session);

} // namespace grelm
