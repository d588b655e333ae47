#pragma once

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
    std::vector<std::int32_t> across;
    std::vector<std::int32_t> down;

    /// The bytes its vectors hold.
    std::uint64_t bytes() const;
    /// Frees what its vectors hold.
    void release() { *this = ReductionScratch(); }
};

/// The most working memory reduceArea takes for a source of `width` x `height`.
std::uint64_t reductionScratchBytes(std::int32_t width, std::int32_t height);

/// Reduces `source` to `width` x `height` (each no larger than the source's)
/// by exact area averaging: every destination pixel is the mean of the source
/// area it covers, partly covered pixels weighted by their share, in integer
/// arithmetic. Writes bottom-up 24-bit rows of `outPitch` bytes to `out`
/// (bytes past each row's pixels are left alone); `scratch` keeps its
/// capacity from call to call.
void reduceArea(const BottomUpPicture &source, std::int32_t width, std::int32_t height, std::uint8_t *out,
                std::int32_t outPitch, ReductionScratch &scratch);

} // namespace grelm
