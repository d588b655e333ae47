#pragma once

#include <QByteArray>

#include <cstdint>

namespace grelm {

class cDIBSection;
class JpegEncoder;

/// The JPEG writer's status for a JPEG that was encoded but could not be written.
std::int32_t jpegWriteFailedStatus();

/// Encodes the buffer into memory exactly as the JPEG writer encodes it into a
/// file (quality 75, upright), with `encoder`'s compressor and buffer; copies
/// the bytes into `out`, whose capacity is reused. Returns 0, or the writer's
/// negative status.
std::int32_t encodeDibToJpeg(cDIBSection &dib, JpegEncoder &encoder, QByteArray &out);

} // namespace grelm
