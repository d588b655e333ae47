#include "core/file_names.h"

#include <QByteArrayView>

#include <cerrno>
#include <unistd.h>

#include <vector>

namespace grelm {

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // U+DC80..U+DCFF stand for the bytes 0x80..0xFF

bool isEscape(QChar c)
{
    return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF;
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

} // namespace

QByteArray encodeFileName(const QString &name)
{
    if (!holdsRawBytes(name))
        return name.toUtf8();
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isEscape(name[i]))
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
    if (QByteArrayView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    QString name;
    const char *p = bytes.constData();
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = validSequence(p + i, bytes.size() - i);
        if (length > 0) {
            name += QString::fromUtf8(p + i, length);
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
    for (QChar c : name) {
        if (isEscape(c))
            return true;
    }
    return false;
}

QString shownName(const QString &name)
{
    if (!holdsRawBytes(name))
        return name;
    QString shown = name;
    for (QChar &c : shown) {
        if (isEscape(c))
            c = QChar::ReplacementCharacter;
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

QString folderOfPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString currentFolder()
{
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return QStringLiteral("/");
        buffer.resize(buffer.size() * 2);
    }
    return decodeFileName(QByteArray(buffer.data()));
}

} // namespace grelm
