#include "core/numeric.h"

#include <cfenv>
#include <cmath>
#include <optional>

namespace grelm {

std::int32_t roundToInt32(double value)
{
    if (!std::isfinite(value))
        throw OverflowError();
    // nearbyint honours the current rounding mode; the default is half to even.
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<std::int32_t>::min()
        || rounded > std::numeric_limits<std::int32_t>::max())
        throw OverflowError();
    return static_cast<std::int32_t>(rounded);
}

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Appends the ASCII digits of `text` from `pos` on to `out`; returns how many.
qsizetype takeDigits(const QString &text, qsizetype &pos, QByteArray &out)
{
    const qsizetype start = pos;
    while (pos < text.size() && isAsciiDigit(text[pos]))
        out += char(text[pos++].unicode());
    return pos - start;
}

// Parses a decimal number (sign, digits, fraction, exponent) at the start of
// `text`; returns the value and how many characters it took.
std::optional<std::pair<double, qsizetype>> parseNumberPrefix(const QString &text)
{
    qsizetype pos = 0;
    QByteArray number;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-'))
        number += char(text[pos++].unicode());
    qsizetype digits = takeDigits(text, pos, number);
    if (pos < text.size() && text[pos] == u'.') {
        number += '.';
        ++pos;
        digits += takeDigits(text, pos, number);
    }
    if (digits == 0)
        return std::nullopt;
    if (pos < text.size() && (text[pos] == u'e' || text[pos] == u'E')) {
        qsizetype e = pos + 1;
        QByteArray exponent = "e";
        if (e < text.size() && (text[e] == u'+' || text[e] == u'-'))
            exponent += char(text[e++].unicode());
        if (takeDigits(text, e, exponent) > 0) {
            number += exponent;
            pos = e;
        }
    }
    return std::make_pair(std::strtod(number.constData(), nullptr), pos);
}

} // namespace

std::int32_t textToInt32(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    const QString core = text.mid(begin, end - begin);
    const auto parsed = parseNumberPrefix(core);
    if (!parsed || parsed->second != core.size())
        throw TypeMismatchError();
    return roundToInt32(parsed->first);
}

double leadingNumber(const QString &text)
{
    QString compact;
    for (QChar c : text) {
        if (!isBlank(c))
            compact += c;
    }
    const auto parsed = parseNumberPrefix(compact);
    return parsed ? parsed->first : 0.0;
}

} // namespace grelm
