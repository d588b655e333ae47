#pragma once

#include <QByteArray>
#include <QString>

namespace grelm {

// File and folder names are bytes, and need not be valid UTF-8 (a folder
// copied from an old Latin-1 system). The program carries every name as a
// QString in which valid UTF-8 is decoded as usual and each byte that is not
// is kept as the lone code unit U+DC80 + (byte - 0x80); encoding gives those
// bytes back unchanged. Only core/ uses it, behind FilePath's text views
// (core/file_path.h); the rest of the program carries names as FilePath.

/// The bytes of a name or path, exactly as the file system holds them.
QByteArray encodeFileName(const QString &name);

/// The name or path that `bytes` spell, every byte kept.
QString decodeFileName(const QByteArray &bytes);

/// Whether a name holds bytes that are not valid UTF-8.
bool holdsRawBytes(const QString &name);

/// A name for the screen: each byte that is not valid UTF-8 becomes U+FFFD.
QString shownName(const QString &name);

/// A name in lower case: fully for a valid UTF-8 name; in a name that holds
/// other bytes only the ASCII letters A-Z, every other byte kept.
QString lowerCaseName(const QString &name);


} // namespace grelm
