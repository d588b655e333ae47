#include "core/file_path.h"

#include "core/file_names.h"

#include <QDir>

#include <algorithm>
#include <cstring>

namespace grelm {

FilePath FilePath::fromEscapedText(const QString &text)
{
    return FilePath(encodeFileName(text));
}

FilePath FilePath::operator/(QByteArrayView name) const
{
    QByteArray joined;
    joined.reserve(m_bytes.size() + 1 + name.size());
    joined.append(m_bytes).append('/').append(name);
    return FilePath(std::move(joined));
}

FilePath FilePath::operator+(QByteArrayView suffix) const
{
    return FilePath(QByteArray(m_bytes).append(suffix));
}

FilePath FilePath::fileName() const
{
    return FilePath(m_bytes.mid(m_bytes.lastIndexOf('/') + 1));
}

FilePath FilePath::folder() const
{
    const qsizetype slash = m_bytes.lastIndexOf('/');
    if (slash < 0)
        return FilePath(QByteArrayLiteral("."));
    return FilePath(slash == 0 ? QByteArrayLiteral("/") : m_bytes.left(slash));
}

FilePath FilePath::cleaned() const
{
    return fromEscapedText(QDir::cleanPath(escapedText()));
}

bool FilePath::isPlainName() const
{
    return isPlainFileName(m_bytes);
}

QString FilePath::shownText() const
{
    return shownName(escapedText());
}

QString FilePath::foldedText() const
{
    return lowerCaseName(escapedText());
}

QString FilePath::escapedText() const
{
    return decodeFileName(m_bytes);
}

std::strong_ordering operator<=>(const FilePath &a, const FilePath &b)
{
    const qsizetype common = std::min(a.m_bytes.size(), b.m_bytes.size());
    const int c = common == 0 ? 0 : std::memcmp(a.m_bytes.constData(), b.m_bytes.constData(), std::size_t(common));
    if (c != 0)
        return c < 0 ? std::strong_ordering::less : std::strong_ordering::greater;
    return a.m_bytes.size() <=> b.m_bytes.size();
}

} // namespace grelm
