#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHashFunctions>
#include <QString>

#include <compare>

namespace grelm {

/// A file or folder name, or a path of them, as the bytes the file system
/// holds; they need not be valid UTF-8. It is made only from bytes, where a
/// name enters the program (a listing, the command line, the environment,
/// the setting file, a folder picked in a window), and never converts to or
/// from a QString by itself: the text views below say what each is for.
class FilePath {
public:
    FilePath() = default;
    explicit FilePath(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    static FilePath fromBytes(QByteArray bytes) { return FilePath(std::move(bytes)); }
    /// The path that `text` spells in the escaped form a Qt widget or a
    /// message carries (see escapedText): each U+DC80 + byte stands for that byte.
    static FilePath fromEscapedText(const QString &text);

    const QByteArray &bytes() const { return m_bytes; }
    /// The bytes ended by a NUL, as system calls take them.
    const char *data() const { return m_bytes.constData(); }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    bool isAbsolute() const { return m_bytes.startsWith('/'); }

    /// The folder joined with `name` by plain concatenation with '/': an
    /// empty folder gives "/name", a trailing '/' a doubled one.
    FilePath operator/(const FilePath &name) const { return *this / QByteArrayView(name.m_bytes); }
    FilePath operator/(QByteArrayView name) const;
    /// The path with `suffix` appended to its last name ("a/b" + ".jpg" gives "a/b.jpg").
    FilePath operator+(QByteArrayView suffix) const;

    /// The last name: everything after the last '/' (the whole path when it holds none).
    FilePath fileName() const;
    /// The folder: "/a/b" gives "/a", "/a" gives "/", "b" gives ".".
    FilePath folder() const;
    /// The path without doubled separators, "." and ".." (resolved by name,
    /// not by the file system) or a trailing '/', as QDir::cleanPath gives it.
    FilePath cleaned() const;
    /// Whether this is one plain name, naming an entry of the folder it is
    /// joined to and nothing beyond: not empty, not "." or "..", without '/' or NUL.
    bool isPlainName() const;

    /// The text to show a user: each byte that is not valid UTF-8 becomes U+FFFD.
    QString shownText() const;
    /// The text for comparing names ignoring letter case: fully lowered for
    /// a valid UTF-8 name; in one that holds other bytes only A-Z are lowered.
    QString foldedText() const;
    /// The text that keeps every byte, for a Qt widget's data or a message
    /// that must carry the name whole: valid UTF-8 decoded, each other byte
    /// as the lone code unit U+DC80 + (byte - 0x80). fromEscapedText gives the path back.
    QString escapedText() const;

    friend bool operator==(const FilePath &a, const FilePath &b) { return a.m_bytes == b.m_bytes; }
    /// Byte by byte, each byte unsigned.
    friend std::strong_ordering operator<=>(const FilePath &a, const FilePath &b);
    friend size_t qHash(const FilePath &path, size_t seed = 0) { return ::qHash(path.m_bytes, seed); }

private:
    QByteArray m_bytes;
};

/// Whether `bytes` are one plain file name (see FilePath::isPlainName).
bool isPlainFileName(QByteArrayView bytes);

} // namespace grelm
