#include "core/errors.h"
#include "thumbs/thumbnail_error.h"
#include "thumbs/thumbnail_fit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace grelm {
namespace {

struct FitCase {
    const char *name;
    std::int32_t sourceWidth, sourceHeight, maxWidth, maxHeight;
    bool forced;
    ThumbnailLayout expected; // canvas w, h, left, top, fitted w, h
};

class FitThumbnail : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitThumbnail, GivesCanvasAndPlacement)
{
    const FitCase &c = GetParam();
    EXPECT_EQ(fitThumbnail(c.sourceWidth, c.sourceHeight, c.maxWidth, c.maxHeight, c.forced),
              c.expected);
}

// Each value is rounded half to even after dividing first: 70 / 640 * 480 =
// 52.5 gives 52; a tall picture is fitted by width, then again by height.
INSTANTIATE_TEST_SUITE_P(
    Sizes, FitThumbnail,
    ::testing::Values(
        FitCase{"w640h480", 640, 480, 70, 70, false, {70, 52, 0, 0, 70, 52}},
        FitCase{"w800h600", 800, 600, 70, 70, false, {70, 52, 0, 0, 70, 52}},
        FitCase{"w1024h768", 1024, 768, 70, 70, false, {70, 52, 0, 0, 70, 52}},
        FitCase{"w1280h960", 1280, 960, 70, 70, false, {70, 52, 0, 0, 70, 52}},
        FitCase{"w1280h1024", 1280, 1024, 70, 70, false, {70, 56, 0, 0, 70, 56}},
        FitCase{"w320h200", 320, 200, 70, 70, false, {70, 44, 0, 0, 70, 44}},
        FitCase{"defaultBox", 640, 480, 50, 50, false, {50, 38, 0, 0, 50, 38}},
        // 70 x 93 after the width, then round(70 / 93 * 70) = 53.
        FitCase{"tall", 480, 640, 70, 70, false, {53, 70, 0, 0, 53, 70}},
        FitCase{"justWider", 71, 70, 70, 70, false, {70, 69, 0, 0, 70, 69}},
        FitCase{"smallerStays", 60, 40, 70, 70, false, {60, 40, 0, 0, 60, 40}},
        FitCase{"exactFitStays", 70, 70, 70, 70, false, {70, 70, 0, 0, 70, 70}},
        FitCase{"onlyTooTall", 40, 100, 70, 70, false, {28, 70, 0, 0, 28, 70}},
        FitCase{"rectangularBox", 640, 480, 100, 30, false, {40, 30, 0, 0, 40, 30}},
        FitCase{"forcedWide", 640, 480, 70, 70, true, {70, 70, 0, 9, 70, 52}},
        // (70 - 53) / 2 = 8.5 gives 8.
        FitCase{"forcedTall", 480, 640, 70, 70, true, {70, 70, 8, 0, 53, 70}},
        // 23.33 gives 23; (70 - 23) / 2 = 23.5 gives 24.
        FitCase{"forcedStrip", 300, 100, 70, 70, true, {70, 70, 0, 24, 70, 23}},
        FitCase{"forcedSmall", 60, 40, 70, 70, true, {70, 70, 5, 15, 60, 40}},
        // A picture far wider than high keeps a one-pixel line rather than vanishing.
        FitCase{"sliverWide", 1000, 1, 70, 70, false, {70, 1, 0, 0, 70, 1}},
        FitCase{"sliverTall", 1, 1000, 70, 70, true, {70, 70, 34, 0, 1, 70}},
        FitCase{"hugeBox", 640, 480, std::numeric_limits<std::int32_t>::max(),
                std::numeric_limits<std::int32_t>::max(), false, {640, 480, 0, 0, 640, 480}}),
    [](const auto &info) { return std::string(info.param.name); });

struct BadBox {
    std::int32_t maxWidth, maxHeight, sourceWidth, sourceHeight;
    bool arithmetic; ///< the fitting's own floating-point error, else ThumbnailError
};

TEST(FitThumbnailRefuses, EmptyOrNegativeBoxOrSource)
{
    const BadBox cases[] = {{0, 70, 640, 480, false},  {70, 0, 640, 480, false}, {-5, 70, 640, 480, true},
                            {70, -1, 60, 40, true},    {0, 0, 60, 40, false},
                            {std::numeric_limits<std::int32_t>::min(), 70, 640, 480, true},
                            {70, 70, 0, 480, false},   {70, 70, 640, 0, false}};
    for (const BadBox &c : cases) {
        for (bool forced : {false, true}) {
            const auto fit = [&] { fitThumbnail(c.sourceWidth, c.sourceHeight, c.maxWidth, c.maxHeight, forced); };
            if (c.arithmetic)
                EXPECT_THROW(fit(), FloatingPointError) << c.maxWidth << " x " << c.maxHeight << ", forced " << forced;
            else
                EXPECT_THROW(fit(), ThumbnailError) << c.maxWidth << " x " << c.maxHeight << ", forced " << forced;
        }
    }
}

} // namespace
} // namespace grelm
