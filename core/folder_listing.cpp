#include "core/folder_listing.h"

#include "core/errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace grelm {

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

// The folder that a path names: "" is the root, as "/" + name would be.
fs::path folderPath(const FilePath &folder)
{
    return fs::path((folder / "").bytes().toStdString());
}

// The order of a listing, on the names' escaped texts.
bool listedBefore(const QString &a, const QString &b)
{
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

bool isListedFile(const fs::directory_entry &entry)
{
    std::error_code ec;
    // is_regular_file follows links, so a link to a regular file counts.
    return entry.is_regular_file(ec) && !ec;
}

// Sorts names by `before` on their text views, each name decoded once
// rather than at every comparison.
template <typename Before>
void sortByTextViews(QList<FilePath> &names, Before before)
{
    std::vector<std::pair<QString, FilePath>> keyed;
    keyed.reserve(std::size_t(names.size()));
    for (FilePath &name : names)
        keyed.emplace_back(name.escapedText(), std::move(name));
    std::sort(keyed.begin(), keyed.end(), [&](const auto &a, const auto &b) { return before(a.first, b.first); });
    names.clear();
    for (auto &[text, name] : keyed)
        names.push_back(std::move(name));
}

} // namespace

bool matchesWildcard(const QString &name, const QString &pattern)
{
    return matchFrom(name, 0, pattern, 0);
}

bool matchesWildcard(const FilePath &name, const QString &pattern)
{
    return matchesWildcard(name.escapedText(), pattern);
}

FolderReader::FolderReader(const FilePath &folder)
{
    m_dir = ::opendir(folder.data());
    if (!m_dir)
        m_openError = errno;
}

FolderReader::~FolderReader()
{
    if (m_dir)
        ::closedir(m_dir);
}

std::optional<FilePath> FolderReader::next()
{
    if (!m_dir)
        return std::nullopt;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(m_dir);
        if (!entry) {
            m_readError = errno;
            return std::nullopt;
        }
        const QByteArrayView name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        m_lastType = entry->d_type;
        m_lastName = name.toByteArray();
        return FilePath(m_lastName);
    }
}

bool FolderReader::lastIsFolder() const
{
    if (m_lastType != DT_UNKNOWN && m_lastType != DT_LNK)
        return m_lastType == DT_DIR;
    struct stat info {};
    return ::fstatat(::dirfd(m_dir), m_lastName.constData(), &info, 0) == 0 && S_ISDIR(info.st_mode);
}

void sortByText(QList<FilePath> &names, Qt::CaseSensitivity cs)
{
    sortByTextViews(names, [cs](const QString &a, const QString &b) { return QString::compare(a, b, cs) < 0; });
}

QList<FilePath> folderEntryNames(const FilePath &folder)
{
    const QByteArray path = (folder / "").bytes();
    FolderReader reader{FilePath(path)};
    if (!reader.isOpen()) {
        if (reader.openError() == ENOENT || reader.openError() == ENOTDIR)
            return {}; // no such folder: nothing to list
        throw FileError("Cannot list " + path.toStdString() + ": " + std::strerror(reader.openError()));
    }
    QList<FilePath> names;
    while (std::optional<FilePath> name = reader.next())
        names.push_back(*std::move(name));
    if (reader.readError() != 0)
        throw FileError("Cannot list " + path.toStdString() + ": " + std::strerror(reader.readError()));
    return names;
}

FolderListing::FolderListing(const FilePath &folder, const QString &pattern)
{
    const fs::path dir = folderPath(folder);
    std::error_code ec;
    if (!fs::is_directory(dir, ec))
        return; // no such folder: nothing to list
    fs::directory_iterator it(dir, ec);
    if (ec)
        throw FileError("Cannot list " + dir.string() + ": " + ec.message());
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        const FilePath name(QByteArray::fromStdString(it->path().filename().native()));
        if (!name.bytes().startsWith('.') && matchesWildcard(name, pattern) && isListedFile(*it))
            m_names.push_back(name);
    }
    if (ec)
        throw FileError("Cannot list " + dir.string() + ": " + ec.message());
    // A stable order, alphabetical as users see it, whatever the file system returns.
    sortAsListed(m_names);
}

void sortAsListed(QList<FilePath> &names)
{
    sortByTextViews(names, listedBefore);
}

bool isListedFile(const FilePath &path)
{
    struct stat info {};
    return ::stat(path.data(), &info) == 0 && S_ISREG(info.st_mode);
}

QList<FilePath> FolderListing::all(const FilePath &folder, const QString &pattern)
{
    return FolderListing(folder, pattern).m_names;
}

std::optional<FilePath> FolderListing::next()
{
    if (m_position >= m_names.size())
        return std::nullopt;
    return m_names[m_position++];
}

} // namespace grelm
