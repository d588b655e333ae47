#pragma once

#include <QByteArray>
#include <QImage>

namespace grelm::test {

/// A w x h picture whose pixels depend on `seed`: gradients and a shape, so
/// that each seed encodes to a different JPEG.
QImage testPicture(int width, int height, int seed);

/// A 24-bit bottom-up screenshot file of testPicture(width, height, seed).
QByteArray screenshotFile(int width, int height, int seed);

} // namespace grelm::test
