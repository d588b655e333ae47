#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace grelm {

/// Joins a folder text and a name with the platform separator by plain
/// concatenation: an empty folder gives "/name", a trailing separator a doubled one.
QString joinPath(const QString &folder, const QString &name);

/// Whether a file name matches a wildcard pattern ('*' and '?'), ignoring letter case.
bool matchesWildcard(const QString &name, const QString &pattern);

/// Every name in `folder`, of any kind of entry, hidden ones too, but for "."
/// and ".."; in no particular order, and without asking the file system
/// anything per entry. A folder that does not exist (or is no folder) lists
/// nothing; one that exists but cannot be read throws FileError.
QStringList folderEntryNames(const QString &folder);

/// Sorts names in the order a listing gives them: alphabetical ignoring
/// letter case, then by the exact text.
void sortAsListed(QStringList &names);

/// Whether `path` is a file a listing takes: a regular file or a link to one.
bool isListedFile(const QString &path);

/// A listing of the ordinary files of one folder whose names match a wildcard
/// pattern, ignoring letter case: regular files and links to them, not hidden
/// (no leading '.'), not folders. Each listing holds its own position, so two
/// listings of one folder never disturb each other. A folder that does not exist
/// lists nothing; one that exists but cannot be read throws FileError.
class FolderListing {
public:
    FolderListing(const QString &folder, const QString &pattern);

    /// The next matching name (without folder), or nothing once the listing is exhausted.
    std::optional<QString> next();

    /// Every name a listing of `folder` and `pattern` returns, in order.
    static QStringList all(const QString &folder, const QString &pattern);

    /// How many names the listing holds in all.
    qsizetype size() const { return m_names.size(); }

private:
    QStringList m_names;
    qsizetype m_position = 0;
};

} // namespace grelm
