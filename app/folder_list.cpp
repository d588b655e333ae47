#include "app/folder_list.h"

#include "core/system_folders.h"
#include "core/folder_listing.h"
#include "core/path_checks.h"

#include <QKeyEvent>
#include <QStyle>

namespace grelm {

namespace {

constexpr int kPathRole = Qt::UserRole; // the entry's path, as its bytes

// Names keep their bytes: the paths are worked out on the bytes, and the
// file system is asked through them.
FilePath cleanFolder(const FilePath &folder)
{
    const FilePath absolute = folder.isAbsolute() ? folder : currentFolder() / folder;
    return absolute.cleaned();
}

// The entry's text: the folder's own name, or the whole path at the root.
QString entryText(const FilePath &path)
{
    const FilePath name = path.fileName();
    return name.isEmpty() ? path.shownText() : name.shownText();
}

FilePath childPath(const FilePath &folder, const FilePath &name)
{
    return folder.bytes().endsWith('/') ? folder + name.bytes() : folder / name;
}

} // namespace

QList<FilePath> folderChain(const FilePath &folder)
{
    QList<FilePath> chain;
    FilePath current = cleanFolder(folder);
    for (;;) {
        chain.prepend(current);
        const FilePath parent = current.folder();
        if (parent == current || current.bytes() == "/")
            return chain;
        current = parent;
    }
}

std::optional<QList<FilePath>> readSubFolders(const FilePath &folder)
{
    FolderReader reader(folder);
    if (!reader.isOpen())
        return std::nullopt;
    QList<FilePath> names;
    while (std::optional<FilePath> name = reader.next()) {
        if (reader.lastIsFolder())
            names << *std::move(name);
    }
    if (reader.readError() != 0)
        return std::nullopt;
    sortByText(names, Qt::CaseInsensitive);
    return names;
}

FolderList::FolderList(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(10);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) { openItem(item); });
}

bool FolderList::setPath(const FilePath &folder)
{
    const FilePath clean = cleanFolder(folder);
    const std::optional<QList<FilePath>> subFolders = readSubFolders(clean);
    if (!isFolder(clean) || !subFolders)
        return false;
    fill(clean, *subFolders);
    if (clean == m_path)
        return true;
    m_path = clean;
    emit pathChanged(m_path);
    return true;
}

void FolderList::fill(const FilePath &folder, const QList<FilePath> &subFolders)
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem *parent = nullptr;
    for (const FilePath &path : folderChain(folder)) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
        item->setText(0, entryText(path));
        item->setIcon(0, openIcon);
        item->setData(0, kPathRole, path.bytes());
        parent = item;
    }
    for (const FilePath &name : subFolders) {
        auto *item = new QTreeWidgetItem(parent);
        item->setText(0, name.shownText());
        item->setIcon(0, closedIcon);
        item->setData(0, kPathRole, childPath(folder, name).bytes());
    }
    expandAll();
    setCurrentItem(parent);
    scrollToItem(parent);
}

void FolderList::openItem(QTreeWidgetItem *item)
{
    if (item)
        setPath(FilePath(item->data(0, kPathRole).toByteArray()));
}

void FolderList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openItem(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

} // namespace grelm
