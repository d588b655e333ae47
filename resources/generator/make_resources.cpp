// Draws the program's pictures into the resources folder: the banner, the about
// picture, the icon file, the icon as a large PNG and, for the desktop's icon
// theme, each size the icon file carries as PNG (icons/grelm-<side>.png).
// Run it after changing the artwork, then commit the files.
#include "artwork.h"
#include "ico_writer.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kIconSides[] = {48, 32, 24, 16};

bool save(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray iconFile()
{
    QList<grelm::ico::Entry> entries;
    for (int bits : {32, 8, 4})
        for (int side : kIconSides)
            entries.push_back({grelm::artwork::icon(side, bits == 32), bits});
    return grelm::ico::write(entries);
}

bool saveImage(const QString &path, const QImage &image, int quality);

// The 32-bit pictures of the icon file, one PNG per side.
bool saveThemeIcons(const QString &folder)
{
    for (int side : kIconSides) {
        if (!saveImage(QStringLiteral("%1/icons/grelm-%2.png").arg(folder).arg(side), grelm::artwork::icon(side), -1))
            return false;
    }
    return true;
}

bool saveImage(const QString &path, const QImage &image, int quality)
{
    QImageWriter writer(path);
    writer.setQuality(quality);
    if (!writer.write(image)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RESOURCE-FOLDER\n", argv[0]);
        return 2;
    }
    for (const char *font : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        if (QFontDatabase::addApplicationFont(QString::fromLatin1(font)) < 0)
            std::fprintf(stderr, "cannot load %s\n", font);
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool ok = saveImage(folder + "/banner.jpg", grelm::artwork::banner(), 92)
                    && saveImage(folder + "/about.jpg", grelm::artwork::about(), 92)
                    && saveImage(folder + "/grelm.png", grelm::artwork::icon(256), -1)
                    && save(folder + "/grelm.ico", iconFile()) && saveThemeIcons(folder);
    return ok ? 0 : 1;
}
