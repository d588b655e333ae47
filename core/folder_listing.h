#pragma once

#include "core/file_path.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include <dirent.h>

namespace grelm {


/// Whether a file name matches a wildcard pattern ('*' and '?'), ignoring letter case.
bool matchesWildcard(const QString &name, const QString &pattern);
bool matchesWildcard(const FilePath &name, const QString &pattern);

/// Every name in `folder`, of any kind of entry, hidden ones too, but for "."
/// and ".."; in no particular order, and without asking the file system
/// anything per entry. A folder that does not exist (or is no folder) lists
/// nothing; one that exists but cannot be read throws FileError.
QList<FilePath> folderEntryNames(const FilePath &folder);

/// Reads the entries of one folder one at a time, of any kind, hidden ones
/// too, but for "." and "..", in no particular order.
class FolderReader {
public:
    explicit FolderReader(const FilePath &folder);
    ~FolderReader();
    FolderReader(const FolderReader &) = delete;
    FolderReader &operator=(const FolderReader &) = delete;

    /// Whether the folder could be opened; errno's value when not.
    bool isOpen() const { return m_dir != nullptr; }
    int openError() const { return m_openError; }
    /// The next entry's name; nothing at the end or on a read error.
    std::optional<FilePath> next();
    /// The read error that ended the entries early; 0 when none did.
    int readError() const { return m_readError; }
    /// Whether the entry last returned is a folder or a link to one (asks the
    /// file system only when the listing does not say).
    bool lastIsFolder() const;

private:
    DIR *m_dir = nullptr;
    int m_openError = 0;
    int m_readError = 0;
    unsigned char m_lastType = 0;
    QByteArray m_lastName;
};

/// Sorts names by their escaped texts (see FilePath::escapedText) as
/// QStringList::sort does with `cs`.
void sortByText(QList<FilePath> &names, Qt::CaseSensitivity cs);

/// Sorts names in the order a listing gives them: alphabetical ignoring
/// letter case, then by the exact text.
void sortAsListed(QList<FilePath> &names);

/// Whether `path` is a file a listing takes: a regular file or a link to one.
bool isListedFile(const FilePath &path);

/// A listing of the ordinary files of one folder whose names match a wildcard
/// pattern, ignoring letter case: regular files and links to them, not hidden
/// (no leading '.'), not folders. Each listing holds its own position, so two
/// listings of one folder never disturb each other. A folder that does not exist
/// lists nothing; one that exists but cannot be read throws FileError.
class FolderListing {
public:
    FolderListing(const FilePath &folder, const QString &pattern);

    /// The next matching name (without folder), or nothing once the listing is exhausted.
    std::optional<FilePath> next();

    /// Every name a listing of `folder` and `pattern` returns, in order.
    static QList<FilePath> all(const FilePath &folder, const QString &pattern);

    /// How many names the listing holds in all.
    qsizetype size() const { return m_names.size(); }

private:
    QList<FilePath> m_names;
    qsizetype m_position = 0;
};

} // namespace grelm
