#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

namespace grelm::ico {

/// One picture of an icon file: a square image and the depth to store it at
/// (4 and 8 bits use a palette and a transparency mask, 32 bits keep alpha).
struct Entry {
    QImage image;
    int bitsPerPixel;
};

/// The bytes of a Windows icon file holding `entries` in the order given.
QByteArray write(const QList<Entry> &entries);

} // namespace grelm::ico
