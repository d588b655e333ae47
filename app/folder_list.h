#pragma once

#include "core/file_path.h"

#include <QList>
#include <QTreeWidget>

#include <optional>

namespace grelm {

/// The folders from the file system's root down to `folder`, each as a full path.
QList<FilePath> folderChain(const FilePath &folder);

/// The names of the sub-folders of `folder`, hidden ones included (games
/// installed by Steam live under ~/.steam), sorted ignoring letter case;
/// nothing when the folder cannot be read.
std::optional<QList<FilePath>> readSubFolders(const FilePath &folder);

/// A folder list in the classic style: the chain of folders from the root down
/// to the current folder, then the current folder's sub-folders. A double-click
/// (or Enter) opens an entry, making it the current folder; a single click only
/// highlights it.
class FolderList : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget *parent = nullptr);

    /// The current folder as a full path, without a trailing separator except
    /// at the root; empty until a folder has been set.
    const FilePath &path() const { return m_path; }
    /// Makes `folder` the current folder and lists it; returns false, changing
    /// nothing, when it cannot be read. Emits pathChanged when the folder changed.
    bool setPath(const FilePath &folder);

signals:
    void pathChanged(const grelm::FilePath &path);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    /// Draws no expand marks: every entry is always open, as in a classic folder list.
    void drawBranches(QPainter *, const QRect &, const QModelIndex &) const override {}

private:
    void fill(const FilePath &folder, const QList<FilePath> &subFolders);
    void openItem(QTreeWidgetItem *item);

    FilePath m_path;
};

} // namespace grelm
