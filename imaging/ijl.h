#pragma once

// The JPEG library's entry points: one parameter record describing the source
// pixels and the JPEG to make, prepared by ijlInit, used by ijlWrite and
// released by ijlFree. Encoding is done by libjpeg-turbo. The program uses
// only the statuses, ijlErrorStr and ijlStatusOf; the record and its entry
// points are kept for WriteDIBToJPEG's outside callers (only tests and the
// benchmark use them today).

#include "imaging/jpeg_encoder.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace grelm {

/// Status of every entry point: 0 is success, failures are negative.
enum IJLERR : std::int32_t {
    IJL_OK = 0,
    IJL_INVALID_POINTER = -1,      ///< no record was given
    IJL_NOT_INITIALISED = -2,      ///< the record was not prepared by ijlInit (or was freed)
    IJL_UNSUPPORTED_IO = -3,       ///< the I/O code is not one ijlWrite knows
    IJL_INVALID_SOURCE = -4,       ///< no pixels, a size of 0, or a layout the encoder cannot take
    IJL_INVALID_JPEG_PARAMS = -5,  ///< the JPEG's size, colour space or quality does not fit the source
    IJL_ENCODER_UNAVAILABLE = -6,  ///< libjpeg-turbo could not make a compressor
    IJL_ENCODE_FAILED = -7,        ///< libjpeg-turbo refused to encode the pixels
    IJL_INVALID_FILENAME = -8,     ///< no output file name was given
    IJL_FILE_WRITE_FAILED = -9,    ///< the file could not be written; nothing was left behind
};

/// What ijlWrite does with the record.
enum IJLIOTYPE : std::int32_t {
    IJL_JFILE_WRITEWHOLEIMAGE = 8, ///< encode the whole picture into the file JPGFile (replacing it)
    IJL_JBUFF_WRITEWHOLEIMAGE = 9, ///< encode the whole picture to memory: JPGBytes, JPGSizeBytes
};

/// Colour layouts of the source pixels and colour spaces of the JPEG.
enum IJL_COLOR : std::int32_t {
    IJL_RGB = 1,
    IJL_BGR = 2,         ///< blue, green, red; with 4 channels the fourth byte is ignored
    IJL_YCBCR = 3,
    IJL_G = 4,           ///< grey
    IJL_RGBA_FPX = 5,    ///< red, green, blue, fourth byte (ignored: no alpha is written)
    IJL_YCBCRA_FPX = 6,  ///< four-component JPEG: refused, common viewers cannot read it
};

/// Chroma subsampling of the JPEG.
enum IJL_JPGSUBSAMPLING : std::int32_t {
    IJL_NONE = 0,  ///< full chroma (4:4:4)
    IJL_411 = 1,   ///< chroma halved both ways (2 x 2)
    IJL_422 = 2,   ///< chroma halved across
    IJL_4114 = 3,  ///< as IJL_411
};

/// The fields of the parameter record that a caller sets, with the values
/// ijlInit gives them.
struct JPEG_CORE_FIELDS {
    const std::uint8_t *DIBBytes = nullptr; ///< first byte of the source pixel rows
    std::int32_t DIBWidth = 0;              ///< source width in pixels
    std::int32_t DIBHeight = 0;             ///< source height; its sign: core/pixel_rows.h
    std::int32_t DIBPadBytes = 0;           ///< bytes after each row's pixels up to the next row
    std::int32_t DIBChannels = 3;           ///< bytes per source pixel: 3 or 4
    IJL_COLOR DIBColor = IJL_BGR;           ///< source layout: IJL_BGR, IJL_RGB or IJL_RGBA_FPX

    const char *JPGFile = nullptr;          ///< output file name, 8-bit (UTF-8), zero-terminated
    const std::uint8_t *JPGBytes = nullptr; ///< memory mode: the JPEG, valid until the next write or ijlFree
    std::size_t JPGSizeBytes = 0;           ///< memory mode: its size in bytes
    std::int32_t JPGWidth = 0;              ///< must equal DIBWidth
    std::int32_t JPGHeight = 0;             ///< must equal the source height without sign
    std::int32_t JPGChannels = 3;           ///< 3 (IJL_YCBCR) or 1 (IJL_G)
    IJL_COLOR JPGColor = IJL_YCBCR;
    IJL_JPGSUBSAMPLING JPGSubSampling = IJL_411;
    std::int32_t jquality = 75;             ///< 1 (smallest) to 100 (best)

    /// An encoder lent by a caller that writes many pictures, so that its
    /// compressor and output buffer are reused; when null the record uses its own.
    JpegEncoder *encoder = nullptr;
};

/// The parameter record. Fields a caller leaves alone keep what ijlInit gave them.
struct JPEG_CORE_PROPERTIES : JPEG_CORE_FIELDS {
    JPEG_CORE_PROPERTIES();
    ~JPEG_CORE_PROPERTIES();
    JPEG_CORE_PROPERTIES(const JPEG_CORE_PROPERTIES &) = delete;
    JPEG_CORE_PROPERTIES &operator=(const JPEG_CORE_PROPERTIES &) = delete;

    /// Why the last write failed, in the words of the JPEG library or the file
    /// system; empty after a success.
    std::string failureDetail;

    /// Library state; set up by ijlInit, released by ijlFree.
    bool initialised = false;
    std::unique_ptr<JpegEncoder> ownEncoder;
};

/// Prepares the record: every field takes its default.
IJLERR ijlInit(JPEG_CORE_PROPERTIES *jcprops);
/// Encodes the source the record describes, as `iotype` says.
IJLERR ijlWrite(JPEG_CORE_PROPERTIES *jcprops, IJLIOTYPE iotype);
/// Releases what ijlInit and ijlWrite set up; the record must be initialised again before reuse.
IJLERR ijlFree(JPEG_CORE_PROPERTIES *jcprops);
/// A short English text for a status.
const char *ijlErrorStr(IJLERR code);
/// The status ijlWrite gives when the encoder ends with `status`.
IJLERR ijlStatusOf(JpegEncoder::Status status);

} // namespace grelm
