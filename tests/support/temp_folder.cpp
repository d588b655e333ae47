#include "support/temp_folder.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace grelm::test {

QString TempFolder::write(const QString &name, const QByteArray &bytes) const
{
    const QString path = file(name);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

QByteArray TempFolder::read(const QString &name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool TempFolder::exists(const QString &name) const
{
    return QFileInfo::exists(file(name));
}

} // namespace grelm::test

void grelm::test::TempFolder::setModified(const QString &name, long long seconds) const
{
    const std::timespec times[2] = {{0, UTIME_OMIT}, {time_t(seconds), 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(file(name)).constData(), times, AT_SYMLINK_NOFOLLOW);
}
