#include "support/fake_steam.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace grelm::test {

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace

QString makeGameFolder(const QString &library, const QString &mod, const QByteArray &libList)
{
    const QString folder = library + QStringLiteral("/steamapps/common/Half-Life/") + mod;
    QDir().mkpath(folder);
    if (!libList.isNull())
        writeFile(folder + QStringLiteral("/liblist.gam"), libList);
    return folder;
}

void writeLibraryFolders(const QString &root, const QStringList &libraries)
{
    QByteArray text = "\"libraryfolders\"\n{\n";
    for (qsizetype i = 0; i < libraries.size(); ++i) {
        text += "\t\"" + QByteArray::number(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + libraries[i].toUtf8()
                + "\"\n\t\t\"label\"\t\t\"\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"70\"\t\t\"1\"\n\t\t}\n\t}\n";
    }
    writeFile(root + QStringLiteral("/steamapps/libraryfolders.vdf"), text + "}\n");
}

void makeLink(const QString &target, const QString &link)
{
    QDir().mkpath(QFileInfo(link).path());
    QFile::link(target, link);
}

} // namespace grelm::test
