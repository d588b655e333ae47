#include "imaging/jpeg_segments.h"

namespace grelm {

namespace {

constexpr unsigned char kMarkerPrefix = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kApp0 = 0xE0;
constexpr qsizetype kMaxSegmentBody = 0xFFFF - 2; // the length field counts itself

unsigned char byteAt(const QByteArray &bytes, qsizetype i)
{
    return static_cast<unsigned char>(bytes[i]);
}

// Where a segment goes after the start marker and any APP0 segment; -1 when
// the bytes do not start that way.
qsizetype insertionPoint(const QByteArray &jpeg)
{
    if (jpeg.size() < 2 || byteAt(jpeg, 0) != kMarkerPrefix || byteAt(jpeg, 1) != kStartOfImage)
        return -1;
    if (jpeg.size() < 4 || byteAt(jpeg, 2) != kMarkerPrefix || byteAt(jpeg, 3) != kApp0)
        return 2;
    if (jpeg.size() < 6)
        return -1;
    const qsizetype end = 4 + (qsizetype(byteAt(jpeg, 4)) << 8 | byteAt(jpeg, 5));
    return end <= jpeg.size() ? end : -1;
}

} // namespace

QByteArray insertAfterJfifHeader(const QByteArray &jpeg, const QByteArray &segment)
{
    const qsizetype at = insertionPoint(jpeg);
    if (segment.isEmpty() || at < 0)
        return jpeg;
    QByteArray out;
    out.reserve(jpeg.size() + segment.size());
    out.append(jpeg.constData(), at).append(segment).append(jpeg.constData() + at, jpeg.size() - at);
    return out;
}

QByteArray markerSegment(unsigned char marker, const QByteArray &body)
{
    if (body.size() > kMaxSegmentBody)
        return {};
    const qsizetype length = body.size() + 2;
    QByteArray out;
    out.reserve(length + 2);
    out.append(char(kMarkerPrefix)).append(char(marker));
    out.append(char(length >> 8)).append(char(length & 0xFF));
    return out.append(body);
}

} // namespace grelm
