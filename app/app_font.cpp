#include "app/app_font.h"

#include "core/file_ends.h"

#include <QFontDatabase>
#include <QStringList>

namespace grelm {

namespace {

const QString kFamily = QStringLiteral("Tahoma");
constexpr qsizetype kMostFontBytes = 16 * 1024 * 1024; // Tahoma is about 700 KB

} // namespace

bool registerWindowFont(const FilePath &programFolder)
{
    if (QFontDatabase::families().contains(kFamily))
        return true;
    const FilePath candidates[] = {programFolder / "fonts/tahoma.ttf", FilePath("/usr/share/wine/fonts/tahoma.ttf")};
    for (const FilePath &file : candidates) {
        // Read through the name's bytes: the program may live in a folder whose name is not UTF-8.
        const std::optional<FileEnds> font = readFileEnds(file, kMostFontBytes, 0);
        if (!font)
            continue;
        const int id = QFontDatabase::addApplicationFontFromData(font->head);
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
