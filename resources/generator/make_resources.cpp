// Draws the program's pictures into the resources folder: the banner, the about
// picture, the icon file and the icon as PNG. Run it after changing the artwork, then commit the files.
#include "artwork.h"
#include "ico_writer.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>
#include <cstdlib>

namespace {

bool save(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray iconFile()
{
    QList<grelm::ico::Entry> entries;
    for (int bits : {32, 8, 4})
        for (int side : {48, 32, 24, 16})
            entries.push_back({grelm::artwork::icon(side, bits == 32), bits});
    return grelm::ico::write(entries);
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
                    && save(folder + "/grelm.ico", iconFile());
    return ok ? 0 : 1;
}
