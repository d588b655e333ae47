#pragma once

#include <QByteArray>

namespace grelm {

/// What a file is by its bytes: their count and their SHA-256. Names and
/// times can be planted or coincide, and device and inode numbers are made up
/// anew at each mount of FAT or exFAT; only the bytes tell a file apart.
struct ContentIdentity {
    qint64 size = -1;
    QByteArray sha256; ///< 32 bytes; empty when unknown

    /// The identity of `bytes`.
    static ContentIdentity of(const QByteArray &bytes);

    bool known() const { return size >= 0 && sha256.size() == 32; }
    bool operator==(const ContentIdentity &) const = default;
};

} // namespace grelm
