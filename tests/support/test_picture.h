#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace grelm::test {

// Pictures tests draw in code, and the one tolerant way to compare them.

/// A w x h picture whose pixel (x, y), counted from the top-left, is colourAt(x, y).
QImage drawnPicture(int width, int height, const std::function<QRgb(int x, int y)> &colourAt);

/// A w x h picture whose pixels depend on `seed`: gradients and a shape, so
/// that each seed encodes to a different JPEG.
QImage testPicture(int width, int height, int seed);

/// A 24-bit bottom-up screenshot file of testPicture(width, height, seed).
QByteArray screenshotFile(int width, int height, int seed);

/// A picture whose every pixel differs from its neighbours: red grows to the
/// right, green downwards, blue with both.
QImage gradientImage(int width, int height);

/// Red, green, blue and yellow quarters from the top-left in reading order,
/// so that a flipped or channel-swapped result shows.
QImage quarters(int width, int height);

/// Squares of `square` pixels, black at the top-left, alternating with white.
QImage checkerboard(int width, int height, int square);

/// One colour all over.
QImage solidImage(int width, int height, QColor colour);

/// The largest difference of red, green or blue between two colours.
int channelDistance(QRgb a, QRgb b);

/// Whether `actual` is within `tolerance` of `expected` in each of red, green and blue.
::testing::AssertionResult nearColour(QRgb actual, QRgb expected, int tolerance);

/// Where `actual` first differs from `expected` by more than `tolerance` in a
/// channel (or in size), or an empty text when it nowhere does.
std::string firstDifference(const QImage &actual, const QImage &expected, int tolerance = 0);

/// Peak signal-to-noise ratio in dB over the red, green and blue channels;
/// pictures of different sizes score 0.
double psnr(const QImage &a, const QImage &b);

} // namespace grelm::test
