#pragma once

// Lets GoogleTest print Qt strings readably in failure messages.
#include "core/file_path.h"

#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << '{' << list.join(QStringLiteral(", ")).toStdString() << '}';
}

namespace grelm {

inline void PrintTo(const FilePath &path, std::ostream *out)
{
    *out << '"' << path.bytes().toHex(' ').toStdString() << "\" (\"" << path.shownText().toStdString() << "\")";
}

} // namespace grelm
