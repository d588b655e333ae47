#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace grelm {

/// A 24-bit blue-green-red picture as it lies in memory: `height` rows of
/// `pitch` bytes, bottom row first.
struct BottomUpPicture {
    const std::uint8_t *pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pitch = 0;
};

/// Working memory of the reduction, kept from call to call.
struct ReductionScratch {
    std::vector<std::uint32_t> narrowRows;
    std::vector<std::uint64_t> wideRows;
    std::vector<std::uint16_t> plainRows;
    std::vector<std::uint64_t> row;
    std::vector<std::int32_t> across;
    std::vector<std::int32_t> down;
};

/// Reduces `source` to `width` x `height` (each no larger than the source's)
/// by exact area averaging: every destination pixel is the mean of the source
/// area it covers, partly covered pixels weighted by their share, in integer
/// arithmetic. Writes the result into `bmp` as a 24-bit Windows bitmap file;
/// `bmp` and `scratch` keep their capacity from call to call.
void reduceToBmp24(const BottomUpPicture &source, std::int32_t width, std::int32_t height, QByteArray &bmp,
                   ReductionScratch &scratch);

} // namespace grelm
