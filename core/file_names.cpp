#include "core/file_names.h"

#include <QByteArrayView>


namespace grelm {

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // U+DC80..U+DCFF stand for the bytes 0x80..0xFF

// Whether the code unit at `i` stands for a byte: in the escape range and not
// the second half of a real surrogate pair (a character above U+FFFF).
bool isEscapeAt(const QString &name, qsizetype i)
{
    const char16_t c = name[i].unicode();
    return c >= 0xDC80 && c <= 0xDCFF && !(i > 0 && name[i - 1].isHighSurrogate());
}

// The length of the valid UTF-8 sequence at `p`, or 0 when there is none.
qsizetype validSequence(const char *p, qsizetype left)
{
    const auto lead = static_cast<unsigned char>(*p);
    const qsizetype length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || length > left)
        return 0;
    return QByteArrayView(p, length).isValidUtf8() ? length : 0;
}

// Appends the character that the valid sequence of `length` bytes at `p` spells.
// Decoded by hand: Qt's decoder drops a byte-order mark, which a name may hold.
void appendSequence(QString &name, const char *p, qsizetype length)
{
    const auto byte = [p](qsizetype i) { return char32_t(static_cast<unsigned char>(p[i])); };
    static constexpr char32_t kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = byte(0) & kLeadMask[length];
    for (qsizetype i = 1; i < length; ++i)
        code = (code << 6) | (byte(i) & 0x3F);
    if (QChar::requiresSurrogates(code)) {
        name += QChar(QChar::highSurrogate(code));
        name += QChar(QChar::lowSurrogate(code));
    } else {
        name += QChar(char16_t(code));
    }
}

} // namespace

QByteArray encodeFileName(const QString &name)
{
    if (!holdsRawBytes(name))
        return name.toUtf8();
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isEscapeAt(name, i))
            continue;
        bytes += QStringView(name).mid(start, i - start).toUtf8();
        if (i < name.size())
            bytes += char(name[i].unicode() - kEscapeBase);
        start = i + 1;
    }
    return bytes;
}

QString decodeFileName(const QByteArray &bytes)
{
    if (QByteArrayView(bytes).isValidUtf8() && !bytes.startsWith("\xef\xbb\xbf"))
        return QString::fromUtf8(bytes);
    QString name;
    const char *p = bytes.constData();
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = validSequence(p + i, bytes.size() - i);
        if (length > 0) {
            appendSequence(name, p + i, length);
            i += length;
        } else {
            name += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(p[i])));
            ++i;
        }
    }
    return name;
}

bool holdsRawBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscapeAt(name, i))
            return true;
    }
    return false;
}

QString shownName(const QString &name)
{
    if (!holdsRawBytes(name))
        return name;
    QString shown = name;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (isEscapeAt(name, i))
            shown[i] = QChar::ReplacementCharacter;
    }
    return shown;
}

QString lowerCaseName(const QString &name)
{
    if (!holdsRawBytes(name))
        return name.toLower();
    QString lowered = name;
    for (QChar &c : lowered) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return lowered;
}

bool isPlainFileName(QByteArrayView bytes)
{
    return !bytes.isEmpty() && bytes != "." && bytes != ".." && !bytes.contains('/') && !bytes.contains('\0');
}

} // namespace grelm
