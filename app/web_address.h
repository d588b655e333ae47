#pragma once

#include <QString>

namespace grelm {

/// The makers' web-site address: what the web link shows and opens.
inline const QString kMakersWebAddress = QStringLiteral("https://grelm.sourceforge.io/");

} // namespace grelm
