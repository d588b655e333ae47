#include "resources/resources.h"

namespace grelm {

const QString kBannerPicture = QStringLiteral(":/grelm/banner.jpg");
const QString kAboutPicture = QStringLiteral(":/grelm/about.jpg");
const QString kIconFile = QStringLiteral(":/grelm/grelm.ico");
const QString kIconPicture = QStringLiteral(":/grelm/grelm.png");

} // namespace grelm
