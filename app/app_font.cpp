#include "app/app_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace grelm {

namespace {

const QString kFamily = QStringLiteral("Tahoma");

} // namespace

bool registerWindowFont(const QString &programFolder)
{
    if (QFontDatabase::families().contains(kFamily))
        return true;
    const QStringList candidates = {programFolder + QStringLiteral("/fonts/tahoma.ttf"),
                                    QStringLiteral("/usr/share/wine/fonts/tahoma.ttf")};
    for (const QString &file : candidates) {
        const int id = QFontDatabase::addApplicationFont(file);
        if (id >= 0 && QFontDatabase::applicationFontFamilies(id).contains(kFamily))
            return true;
    }
    return false;
}

QFont windowFont()
{
    QFont font(kFamily);
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace grelm
