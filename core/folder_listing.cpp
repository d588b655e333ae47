#include "core/folder_listing.h"

#include "core/file_names.h"

#include "core/errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace grelm {

QString joinPath(const QString &folder, const QString &name)
{
    return folder + QLatin1Char('/') + name;
}

namespace {

bool matchFrom(const QString &name, qsizetype n, const QString &pattern, qsizetype p)
{
    while (p < pattern.size()) {
        const QChar pc = pattern[p];
        if (pc == u'*') {
            while (p < pattern.size() && pattern[p] == u'*')
                ++p;
            if (p == pattern.size())
                return true;
            for (qsizetype k = n; k <= name.size(); ++k) {
                if (matchFrom(name, k, pattern, p))
                    return true;
            }
            return false;
        }
        if (n == name.size())
            return false;
        if (pc != u'?' && pc.toCaseFolded() != name[n].toCaseFolded())
            return false;
        ++n;
        ++p;
    }
    return n == name.size();
}

// The folder that a folder text names: "" is the root, as "/" + name would be.
fs::path folderPath(const QString &folder)
{
    return fs::path(encodeFileName(joinPath(folder, QString())).toStdString());
}

bool isListedFile(const fs::directory_entry &entry)
{
    std::error_code ec;
    // is_regular_file follows links, so a link to a regular file counts.
    return entry.is_regular_file(ec) && !ec;
}

} // namespace

bool matchesWildcard(const QString &name, const QString &pattern)
{
    return matchFrom(name, 0, pattern, 0);
}

QStringList folderEntryNames(const QString &folder)
{
    const QByteArray path = encodeFileName(joinPath(folder, QString()));
    DIR *dir = ::opendir(path.constData());
    if (!dir) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {}; // no such folder: nothing to list
        throw FileError("Cannot list " + path.toStdString() + ": " + std::strerror(errno));
    }
    QStringList names;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name != "." && name != "..")
            names.push_back(decodeFileName(name.toByteArray()));
        errno = 0;
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        throw FileError("Cannot list " + path.toStdString() + ": " + std::strerror(error));
    return names;
}

FolderListing::FolderListing(const QString &folder, const QString &pattern)
{
    const fs::path dir = folderPath(folder);
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return; // no such folder: nothing to list
    fs::directory_iterator it(dir, ec);
    if (ec)
        throw FileError("Cannot list " + dir.string() + ": " + ec.message());
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        const QString name = decodeFileName(QByteArray::fromStdString(it->path().filename().native()));
        if (!name.startsWith(QLatin1Char('.')) && matchesWildcard(name, pattern) && isListedFile(*it))
            m_names.push_back(name);
    }
    if (ec)
        throw FileError("Cannot list " + dir.string() + ": " + ec.message());
    // A stable order, alphabetical as users see it, whatever the file system returns.
    sortAsListed(m_names);
}

void sortAsListed(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
}

bool isListedFile(const QString &path)
{
    struct stat info {};
    return ::stat(encodeFileName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

QStringList FolderListing::all(const QString &folder, const QString &pattern)
{
    return FolderListing(folder, pattern).m_names;
}

std::optional<QString> FolderListing::next()
{
    if (m_position >= m_names.size())
        return std::nullopt;
    return m_names[m_position++];
}

} // namespace grelm
