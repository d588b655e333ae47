#pragma once

#include <QByteArray>

#include <cstdint>

namespace grelm {

class cDIBSection;
class JpegEncoder;

/// The writer's status for a JPEG that was encoded but could not be written.
inline constexpr std::int32_t kJpegWriteFailed = -2;

/// Encodes the buffer as the JPEG writer does (quality 75, upright) into
/// `out`, whose capacity is reused; returns 0, or the writer's negative status.
std::int32_t encodeDibToJpeg(const cDIBSection &dib, JpegEncoder &encoder, QByteArray &out);

} // namespace grelm
