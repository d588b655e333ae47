#pragma once

#include "core/content_identity.h"
#include "core/file_stamp.h"
#include "imaging/bmp_header.h"

#include "core/file_path.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace grelm {

/// The outcome of reading a bitmap: the picture's size, or why it was refused.
struct BmpResult {
    std::int32_t width = 0;
    std::int32_t height = 0; ///< positive: the rows are bottom-up (core/pixel_rows.h)
    const char *error = nullptr;
    bool notExpected = false; ///< refused because the file is not the one expected

    explicit operator bool() const { return error == nullptr; }
};

/// What a load is about to allocate once it has read the header: the
/// picture's size, its 24-bit buffer, and the copy of the file's pixel array
/// that a variant other than uncompressed 24-bit is decoded from.
struct BmpAllocation {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint64_t pixelBytes = 0;
    std::uint64_t copyBytes = 0;
};

/// Called by a load before it allocates; it may wait, e.g. for memory to be free.
using BeforeAllocate = std::function<void(const BmpAllocation &)>;

/// Reads bitmap files of every variant Windows reads (1, 4, 8, 16, 24 and 32
/// bits; RLE4, RLE8; bit-field masks; OS/2 core, info, V2 to V5 headers;
/// top-down rows) into 24-bit blue-green-red bottom-up rows padded to 4 bytes.
/// `pixels` is grown when too small and never shrunk, so that one vector
/// serves a whole batch; after a refusal its contents mean nothing. The
/// program uses load and isOrdinaryFileButNoBitmap; decode is kept for
/// outside callers (only the tests and the fuzzer use it today).
namespace BmpReader {

/// Decodes a whole bitmap file held in memory. `maxPixels` lowers the size
/// limit, e.g. for a fuzzer that must not spend its time filling huge pictures.
BmpResult decode(std::span<const std::uint8_t> file, std::vector<std::uint8_t> &pixels,
                 std::uint64_t maxPixels = kBmpMaxPixels);

/// Reads the bitmap file at `path`. An uncompressed 24-bit file is read with
/// one read straight into `pixels`. `stamp`, when given, receives the stamp of
/// the file as opened (nothing when it could not be opened). `beforeAllocate`,
/// when given, hears of the allocation once the header is found sound. With
/// `expected`, a file whose bytes are not those (or that changes while it is
/// read) is refused with `notExpected`, and only the file that was hashed is
/// decoded.
BmpResult load(const FilePath &path, std::vector<std::uint8_t> &pixels, std::optional<FileStamp> *stamp = nullptr,
               const BeforeAllocate &beforeAllocate = {}, const ContentIdentity *expected = nullptr);

/// Whether `path` names an ordinary file (not a link, folder or other entry)
/// whose headers are not those of a bitmap: a half-written or foreign file.
bool isOrdinaryFileButNoBitmap(const FilePath &path);

} // namespace BmpReader

} // namespace grelm
