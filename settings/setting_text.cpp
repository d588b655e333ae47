#include "settings/setting_text.h"

#include <QStringDecoder>

#include <algorithm>

namespace grelm {

namespace {

struct ByteOrderMark {
    QStringConverter::Encoding encoding = QStringConverter::Utf8;
    qsizetype size = 0;
};

ByteOrderMark byteOrderMark(const QByteArray &head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        return {QStringConverter::Utf8, 3};
    if (head.startsWith("\xFF\xFE"))
        return {QStringConverter::Utf16LE, 2};
    if (head.startsWith("\xFE\xFF"))
        return {QStringConverter::Utf16BE, 2};
    return {};
}

bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

SettingText settingText(const FileEnds &ends)
{
    const ByteOrderMark mark = byteOrderMark(ends.head);
    const bool utf16 = mark.encoding != QStringConverter::Utf8;
    qint64 start = std::max<qint64>(ends.tailOffset, mark.size);
    // UTF-16 is decoded in whole code units counted from the file's start.
    if (utf16 && (start - mark.size) % 2 != 0)
        ++start;
    QByteArray bytes = ends.tail.mid(start - ends.tailOffset);
    if (utf16) {
        // The mark is gone already; a second one belongs to the text.
        QStringDecoder decoder(mark.encoding, QStringConverter::Flag::ConvertInitialBom);
        bytes = QString(decoder.decode(bytes)).toUtf8();
    }
    return {bytes, start == mark.size};
}

std::optional<QByteArray> lastLine(const SettingText &text)
{
    const QByteArray &bytes = text.utf8;
    if (bytes.isEmpty())
        return std::nullopt;
    qsizetype end = bytes.size();
    if (bytes.endsWith("\r\n"))
        end -= 2;
    else if (isLineBreak(bytes.back()))
        end -= 1;
    qsizetype start = end;
    while (start > 0 && !isLineBreak(bytes[start - 1]))
        --start;
    if (start == 0 && !text.startsTheFile)
        return std::nullopt;
    return bytes.mid(start, end - start);
}

} // namespace grelm
