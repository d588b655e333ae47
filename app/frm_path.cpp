#include "app/frm_path.h"

#include "core/system_folders.h"
#include "core/user_messages.h"

#include "app/app_font.h"
#include "app/folder_list.h"
#include "app/folder_picker_host.h"
#include "app/secondary_window.h"
#include "app/striped_background.h"
#include "core/messages.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>

namespace grelm {

namespace {

QPointer<Frm_Path> s_open;

// A fully transparent icon: the dialog shows none, not the program's.
QIcon noIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}

QPushButton *makeButton(const QString &name, const QString &caption, const QRect &place, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

Frm_Path *Frm_Path::load(FolderPickerHost &host, MessageSink &messages, DriveProvider drives,
                         GameFolderProvider games)
{
    if (s_open) {
        s_open->raise();
        showInFront(s_open);
        return s_open;
    }
    auto *dialog = new Frm_Path(host, messages, drives ? drives : DriveProvider(mountedDrives),
                                games ? games : homeGameFolders());
    s_open = dialog;
    dialog->Form_Load();
    return dialog;
}

Frm_Path *Frm_Path::current()
{
    return s_open;
}

Frm_Path::Frm_Path(FolderPickerHost &host, MessageSink &messages, const DriveProvider &drives,
                   const GameFolderProvider &games)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_host(host), m_messages(messages)
{
    setObjectName(QStringLiteral("Frm_Path"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Set Path"));
    setWindowIcon(noIcon());
    setFixedSize(423, 221);
    setFont(windowFont());
    createControls();
    DrvPath->setDrives(drives());
    startGameSearch(games);
    placeNearHost();
    if (QWidget *window = host.hostWindow()) {
        connect(window, &QObject::destroyed, this, [this] {
            m_hostGone = true;
            close();
        });
    }
}

// The search stops soon after; the watcher, gone with the dialog, delivers
// nothing more.
Frm_Path::~Frm_Path()
{
    m_gameSearch->cancel();
}

void Frm_Path::startGameSearch(const GameFolderProvider &games)
{
    m_gameSearch = new QFutureWatcher<GameFolder>(this);
    connect(m_gameSearch, &QFutureWatcherBase::resultsReadyAt, this, [this](int begin, int end) {
        for (int i = begin; i < end; ++i)
            DrvPath->addGameFolder(m_gameSearch->resultAt(i));
    });
    connect(m_gameSearch, &QFutureWatcherBase::finished, this, [this] { m_findingGames = false; });
    m_gameSearch->setFuture(QtConcurrent::run([games](QPromise<GameFolder> &promise) {
        games(
            [&promise](const GameFolder &game) {
                promise.addResult(game);
                return !promise.isCanceled();
            },
            [&promise] { return promise.isCanceled(); });
    }));
}

void Frm_Path::createControls()
{
    CmdConfirm = makeButton(QStringLiteral("CmdConfirm"), QStringLiteral("Ok"), {264, 192, 65, 17}, this);
    CmdExit = makeButton(QStringLiteral("CmdExit"), QStringLiteral("Cancel"), {336, 192, 73, 17}, this);
    TxtPath = new QLineEdit(this);
    TxtPath->setObjectName(QStringLiteral("TxtPath"));
    TxtPath->setGeometry(16, 160, 393, 19);
    TxtPath->setEnabled(false);
    DrvPath = new DriveList(this);
    DrvPath->setObjectName(QStringLiteral("DrvPath"));
    DrvPath->setGeometry(16, 8, 137, 21);
    DirFolders = new FolderList(this);
    DirFolders->setObjectName(QStringLiteral("DirFolders"));
    DirFolders->setGeometry(16, 40, 393, 111);
    setTabOrder(CmdConfirm, CmdExit);
    setTabOrder(CmdExit, TxtPath);
    setTabOrder(TxtPath, DrvPath);
    setTabOrder(DrvPath, DirFolders);

    connect(CmdConfirm, &QPushButton::clicked, this, &Frm_Path::CmdConfirm_Click);
    connect(CmdExit, &QPushButton::clicked, this, &Frm_Path::CmdExit_Click);
    connect(DrvPath, &QComboBox::currentIndexChanged, this, &Frm_Path::DrvPath_Change);
    connect(DirFolders, &FolderList::pathChanged, this, &Frm_Path::DirFolders_Change);
}

void Frm_Path::placeNearHost()
{
    const QWidget *host = m_host.hostWindow();
    const QRect area = host ? host->frameGeometry() : screen()->availableGeometry();
    move(area.center() - rect().center());
}

void Frm_Path::Form_Load()
{
    {
        const QSignalBlocker quiet(DrvPath); // the list starts on this drive; it is no change
        DrvPath->selectDriveOf(currentFolder());
    }
    showPath(FilePath::fromEscapedText(DrvPath->value())); // the entry's text as it stands
    if (const std::optional<Drive> drive = DrvPath->currentDrive()) {
        if (!DirFolders->setPath(folderForDrive(*drive)))
            DirFolders->setPath(drive->rootPath);
    }
    // The box shows the folder the list opened on, never the drive's entry
    // text, so an Ok straight away stores a folder that exists.
    if (!DirFolders->path().isEmpty())
        showPath(DirFolders->path());
    showInFront(this);
    CmdConfirm->setFocus();
    if (QWidget *host = m_host.hostWindow())
        host->setEnabled(false);
}

FilePath Frm_Path::folderForDrive(const Drive &drive) const
{
    const FilePath here = currentFolder();
    const std::optional<qsizetype> index = driveIndexOf(DrvPath->drives(), here);
    if (index && DrvPath->drives()[*index] == drive)
        return here;
    return drive.rootPath;
}

// Opens the chosen drive's folder or the chosen game folder.
bool Frm_Path::openChosenEntry()
{
    if (const std::optional<GameFolder> game = DrvPath->currentGameFolder())
        return DirFolders->setPath(game->path);
    const std::optional<Drive> drive = DrvPath->currentDrive();
    return drive && DirFolders->setPath(folderForDrive(*drive));
}

void Frm_Path::DrvPath_Change()
{
    if (openChosenEntry())
        return;
    // Setting the list back runs this handler again for the previous drive.
    DrvPath->selectDriveOf(DirFolders->path());
    m_messages.show(wrongDriveMessage());
}

void Frm_Path::DirFolders_Change()
{
    showPath(DirFolders->path());
}

void Frm_Path::CmdConfirm_Click()
{
    m_host.setGameFolderText(m_path);
    m_host.SFindDir();
    m_host.SWritePath();
    CloseDialog();
}

// The box shows the path for the screen; its bytes are kept beside it.
void Frm_Path::showPath(const FilePath &path)
{
    m_path = path;
    TxtPath->setText(path.shownText());
}

void Frm_Path::CmdExit_Click()
{
    CloseDialog();
}

void Frm_Path::Form_Unload()
{
    CloseDialog();
}

// Runs once however it is reached: closing from Ok or Cancel passes through
// the close event, which lands here again, and the close box starts there.
void Frm_Path::CloseDialog()
{
    if (m_closed)
        return;
    m_closed = true;
    m_gameSearch->cancel(); // the program may end before the dialog is deleted
    if (!m_unloading)
        close();
    if (s_open == this)
        s_open = nullptr;
    if (!m_hostGone)
        giveBackFocus(m_host.hostWindow());
}

void Frm_Path::closeEvent(QCloseEvent *event)
{
    m_unloading = true;
    Form_Unload();
    event->accept();
}

void Frm_Path::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, stripedBackground());
}

} // namespace grelm
