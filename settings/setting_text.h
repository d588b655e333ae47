#pragma once

#include "core/file_ends.h"

#include <QByteArray>

#include <optional>

namespace grelm {

/// A setting file's text as UTF-8, from its first line start that is known.
struct SettingText {
    QByteArray utf8;
    bool startsTheFile = true; ///< false: the text begins somewhere inside the file
};

/// The text that a file's ends hold, as UTF-8: a UTF-8 byte-order mark is
/// dropped, and text with a UTF-16 byte-order mark (either byte order) is decoded.
SettingText settingText(const FileEnds &ends);

/// The last line of `text`, without its line end; nothing for an empty text,
/// or when the text does not start the file and holds no line break before its
/// last line (that line may begin earlier). CR LF, CR and LF each end a line;
/// a line end closing the text starts no new line.
std::optional<QByteArray> lastLine(const SettingText &text);

} // namespace grelm
