#include "app/folder_list.h"

#include "core/file_names.h"

#include <QDir>
#include <QKeyEvent>
#include <QStyle>

#include <filesystem>
#include <system_error>

namespace grelm {

namespace {

constexpr int kPathRole = Qt::UserRole;

// Names are carried with their bytes (see core/file_names.h): only string
// operations here, and the file system is asked through those bytes.
QString cleanFolder(const QString &folder)
{
    const QString absolute = folder.startsWith(u'/') ? folder : currentFolder() + u'/' + folder;
    return QDir::cleanPath(absolute);
}

// The entry's text: the folder's own name, or the whole path at the root.
QString entryText(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    return shownName(name.isEmpty() ? path : name);
}

bool isFolder(const QString &path)
{
    std::error_code error;
    return std::filesystem::is_directory(encodeFileName(path).toStdString(), error);
}

QString childPath(const QString &folder, const QString &name)
{
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

} // namespace

QStringList folderChain(const QString &folder)
{
    QStringList chain;
    QString current = cleanFolder(folder);
    for (;;) {
        chain.prepend(current);
        const QString parent = folderOfPath(current);
        if (parent == current || current == u"/")
            return chain;
        current = parent;
    }
}

std::optional<QStringList> readSubFolders(const QString &folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator it(fs::path(encodeFileName(folder).toStdString()), error);
    if (error)
        return std::nullopt;
    QStringList names;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        const QString name = decodeFileName(QByteArray::fromStdString(it->path().filename().native()));
        std::error_code typeError;
        if (it->is_directory(typeError))
            names << name;
    }
    if (error)
        return std::nullopt;
    names.sort(Qt::CaseInsensitive);
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

bool FolderList::setPath(const QString &folder)
{
    const QString clean = cleanFolder(folder);
    const std::optional<QStringList> subFolders = readSubFolders(clean);
    if (!isFolder(clean) || !subFolders)
        return false;
    fill(clean, *subFolders);
    if (clean == m_path)
        return true;
    m_path = clean;
    emit pathChanged(m_path);
    return true;
}

void FolderList::fill(const QString &folder, const QStringList &subFolders)
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem *parent = nullptr;
    for (const QString &path : folderChain(folder)) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
        item->setText(0, entryText(path));
        item->setIcon(0, openIcon);
        item->setData(0, kPathRole, path);
        parent = item;
    }
    for (const QString &name : subFolders) {
        auto *item = new QTreeWidgetItem(parent);
        item->setText(0, shownName(name));
        item->setIcon(0, closedIcon);
        item->setData(0, kPathRole, childPath(folder, name));
    }
    expandAll();
    setCurrentItem(parent);
    scrollToItem(parent);
}

void FolderList::openItem(QTreeWidgetItem *item)
{
    if (item)
        setPath(item->data(0, kPathRole).toString());
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
