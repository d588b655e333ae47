#pragma once

#include <QByteArray>

namespace grelm {

/// `jpeg` with the whole marker segment `segment` inserted after its start of
/// image marker and, when one follows it, its APP0 (JFIF) segment; `jpeg`
/// unchanged when `segment` is empty or `jpeg` does not start with that marker
/// or holds a truncated APP0.
QByteArray insertAfterJfifHeader(const QByteArray &jpeg, const QByteArray &segment);

/// The marker segment `marker` holding `body`: the marker, the big-endian
/// length and the body; empty when the body is too long for one segment.
QByteArray markerSegment(unsigned char marker, const QByteArray &body);

} // namespace grelm
