#include "core/user_messages.h"
#include "app/drive_list.h"
#include "app/folder_list.h"
#include "app/frm_path.h"
#include "main_window_fixture.h"
#include "support/fake_steam.h"
#include "support/qt_print.h"
#include "support/settle.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSemaphore>
#include <QTest>
#include <QThreadPool>

#include <atomic>
#include <memory>

using namespace grelm;
using grelm::test::settle;
using grelm::test::TempFolder;

namespace {

// The main window over a stored game folder of two screenshots; the process's
// current folder is a game install whose Half-Life folder holds three. The
// user's home is a sandbox folder, with no Steam until a test installs one.
class FolderPicker : public grelm::test::MainWindowTest {
protected:
    void SetUp() override
    {
        m_previousHome = qgetenv("HOME");
        m_home = m_sandbox.file(QStringLiteral("home"));
        qputenv("HOME", m_home.toUtf8());
        for (const char *folder : {"game/Half-Life/valve", "game/cstrike", "game/.hidden", "other/x"})
            ASSERT_TRUE(QDir().mkpath(m_sandbox.file(QString::fromLatin1(folder))));
        for (const char *shot : {"game/Half-Life/a.bmp", "game/Half-Life/b.BMP", "game/Half-Life/c.bmp"})
            m_sandbox.write(QString::fromLatin1(shot), "BM");
        m_game.write(QStringLiteral("old1.bmp"), "BM");
        m_game.write(QStringLiteral("old2.bmp"), "BM");
        m_install = QDir(m_sandbox.file(QStringLiteral("game"))).canonicalPath();
        m_other = QDir(m_sandbox.file(QStringLiteral("other"))).canonicalPath();
        m_drives = {{FilePath::fromEscapedText(QDir(m_sandbox.path()).canonicalPath()), QStringLiteral("GAME")},
                    {FilePath::fromEscapedText(m_other), QString()},
                    {m_sandbox.filePath(QStringLiteral("no-medium")), QStringLiteral("CD")}};
        m_previousFolder = QDir::currentPath();
        QDir::setCurrent(m_install);
        storeGameFolder();
        start().show();
        QCoreApplication::processEvents();
        m_storedBytes = m_program.read(QStringLiteral("SLoadPath.txt"));
    }

    void TearDown() override
    {
        if (Frm_Path *dialog = Frm_Path::current())
            dialog->close();
        settle();
        QDir::setCurrent(m_previousFolder);
        qputenv("HOME", m_previousHome);
    }

    // Opens the dialog with the Set Folder button, over the machine's drives.
    Frm_Path *clickSetFolder()
    {
        QTest::mouseClick(control<QPushButton>("CmdSetFolder"), Qt::LeftButton);
        QCoreApplication::processEvents(); // lets the window system activate it
        return Frm_Path::current();
    }

    // Opens the dialog over the sandbox's own drives.
    Frm_Path *openOverSandboxDrives()
    {
        Frm_Path *dialog = Frm_Path::load(*m_window, m_messages, [this] { return m_drives; },
                                          [games = m_games](const GameFolderSink &found, const std::function<bool()> &) {
                                              for (const GameFolder &game : games)
                                                  found(game);
                                          });
        QCoreApplication::processEvents();
        waitForGames(dialog);
        return dialog;
    }

    // Lets the dialog list the game folders its worker thread finds.
    static void waitForGames(Frm_Path *dialog)
    {
        for (int i = 0; i < 2000 && dialog && dialog->findingGames(); ++i)
            QTest::qWait(5);
        ASSERT_FALSE(dialog && dialog->findingGames());
    }

    static void doubleClick(FolderList *list, const QString &name)
    {
        const QList<QTreeWidgetItem *> items = list->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        list->scrollToItem(items.first()); // as a user scrolls to an entry below the fold
        const QPoint centre = list->visualItemRect(items.first()).center();
        // A double-click arrives after the single click of its first press.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    }

    void expectMainWindowBack()
    {
        EXPECT_EQ(Frm_Path::current(), nullptr);
        EXPECT_TRUE(m_window->isEnabled());
        EXPECT_EQ(QApplication::activeWindow(), m_window.get());
        EXPECT_TRUE(m_window->hasFocus());
    }

    void expectNothingChanged()
    {
        EXPECT_EQ(text("TxtSetFolder"), m_game.path());
        EXPECT_EQ(text("txtPicturesFound"), QStringLiteral("2"));
        EXPECT_EQ(m_program.read(QStringLiteral("SLoadPath.txt")), m_storedBytes);
    }

    void expectStored(const QString &folder, const char *count)
    {
        EXPECT_EQ(text("TxtSetFolder"), folder);
        EXPECT_EQ(text("txtPicturesFound"), QString::fromLatin1(count));
        EXPECT_EQ(m_program.read(QStringLiteral("SLoadPath.txt")), '"' + folder.toUtf8() + "\"\r\n");
    }

    TempFolder m_sandbox;
    QString m_install, m_other, m_previousFolder, m_home;
    QByteArray m_storedBytes, m_previousHome;
    QList<Drive> m_drives;
    QList<GameFolder> m_games{{FilePath("/no/such/game/cstrike"), FilePath("Counter-Strike")}};
};

template <typename T>
T *child(QWidget *dialog, const char *name)
{
    T *widget = dialog->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

} // namespace

TEST_F(FolderPicker, OpensOnTheCurrentFolderWithOkFocusedAndTheMainWindowDisabled)
{
    Frm_Path *dialog = clickSetFolder();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Set Path"));
    EXPECT_EQ(dialog->size(), QSize(423, 221));
    EXPECT_FALSE(m_window->isEnabled());
    EXPECT_TRUE(child<QPushButton>(dialog, "CmdConfirm")->hasFocus());
    EXPECT_EQ(child<FolderList>(dialog, "DirFolders")->path(), FilePath::fromEscapedText(m_install));
    EXPECT_FALSE(child<QLineEdit>(dialog, "TxtPath")->isEnabled());

    const QStringList tabOrder = {"CmdConfirm", "CmdExit", "DrvPath", "DirFolders"}; // TxtPath is disabled
    QWidget *focus = child<QPushButton>(dialog, "CmdConfirm");
    for (const QString &name : tabOrder) {
        EXPECT_EQ(focus->objectName(), name);
        do
            focus = focus->nextInFocusChain();
        while (focus->focusPolicy() == Qt::NoFocus || !focus->isEnabled());
    }
}

TEST_F(FolderPicker, OkStraightAfterOpeningStoresTheCurrentFolderAsAFullPath)
{
    Frm_Path *dialog = clickSetFolder();
    EXPECT_EQ(child<QLineEdit>(dialog, "TxtPath")->text(), m_install);
    QTest::mouseClick(child<QPushButton>(dialog, "CmdConfirm"), Qt::LeftButton);
    settle();
    expectStored(m_install, "0");
    expectMainWindowBack();
}

TEST_F(FolderPicker, OkAfterOpeningAFolderStoresCountsAndWritesIt)
{
    Frm_Path *dialog = clickSetFolder();
    auto *folders = child<FolderList>(dialog, "DirFolders");
    doubleClick(folders, QStringLiteral("Half-Life"));
    const QString chosen = m_install + QStringLiteral("/Half-Life");
    EXPECT_EQ(child<QLineEdit>(dialog, "TxtPath")->text(), chosen);
    QTest::mouseClick(child<QPushButton>(dialog, "CmdConfirm"), Qt::LeftButton);
    settle();
    expectStored(chosen, "3");
    expectMainWindowBack();
}

TEST_F(FolderPicker, AHiddenFolderIsListedAndOpens)
{
    Frm_Path *dialog = clickSetFolder();
    auto *folders = child<FolderList>(dialog, "DirFolders");
    doubleClick(folders, QStringLiteral(".hidden"));
    EXPECT_EQ(folders->path().escapedText(), m_install + QStringLiteral("/.hidden"));
    EXPECT_EQ(child<QLineEdit>(dialog, "TxtPath")->text(), m_install + QStringLiteral("/.hidden"));
}

TEST_F(FolderPicker, CancelAndTheCloseBoxChangeNothing)
{
    for (const bool closeBox : {false, true}) {
        QPointer<Frm_Path> dialog = clickSetFolder();
        doubleClick(child<FolderList>(dialog, "DirFolders"), QStringLiteral("Half-Life"));
        if (closeBox)
            dialog->close();
        else
            QTest::mouseClick(child<QPushButton>(dialog, "CmdExit"), Qt::LeftButton);
        settle();
        EXPECT_TRUE(dialog.isNull()) << closeBox;
        expectNothingChanged();
        expectMainWindowBack();
    }
}

TEST_F(FolderPicker, EnterAndEscapeAreBoundToNeitherButton)
{
    Frm_Path *dialog = clickSetFolder();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(child<QPushButton>(dialog, "CmdConfirm"), key);
        QTest::keyClick(child<QPushButton>(dialog, "CmdExit"), key);
    }
    settle();
    EXPECT_EQ(Frm_Path::current(), dialog);
    expectNothingChanged();
}

TEST_F(FolderPicker, ASingleClickOnlyHighlights)
{
    Frm_Path *dialog = clickSetFolder();
    auto *folders = child<FolderList>(dialog, "DirFolders");
    const QList<QTreeWidgetItem *> items = folders->findItems(QStringLiteral("cstrike"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(items.size(), 1);
    QTreeWidgetItem *item = items.first();
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, folders->visualItemRect(item).center());
    EXPECT_TRUE(item->isSelected());
    EXPECT_EQ(folders->path().escapedText(), m_install);
    EXPECT_EQ(child<QLineEdit>(dialog, "TxtPath")->text(), m_install);
}

TEST_F(FolderPicker, ADriveOpensOnTheCurrentFolderOnlyWhenItHoldsIt)
{
    Frm_Path *dialog = openOverSandboxDrives();
    auto *drives = child<QComboBox>(dialog, "DrvPath");
    auto *path = child<QLineEdit>(dialog, "TxtPath");
    EXPECT_EQ(drives->currentText(), m_drives[0].rootPath.shownText() + QStringLiteral(" [GAME]"));
    drives->setCurrentIndex(1);
    EXPECT_EQ(path->text(), m_other); // the current folder lies elsewhere: the drive's root
    drives->setCurrentIndex(0);
    EXPECT_EQ(path->text(), m_install);
    EXPECT_TRUE(m_messages.messages.empty());
}

TEST_F(FolderPicker, ADriveOrGameFolderThatCannotBeReadShowsItsMessageAndKeepsTheDialog)
{
    Frm_Path *dialog = openOverSandboxDrives();
    auto *drives = child<QComboBox>(dialog, "DrvPath");
    doubleClick(child<FolderList>(dialog, "DirFolders"), QStringLiteral("cstrike"));
    for (const int entry : {2, 3}) { // a drive without its medium; a game folder since removed
        m_messages.messages.clear();
        drives->setCurrentIndex(entry);
        EXPECT_EQ(m_messages.messages, std::vector<Message>({wrongDriveMessage()})) << entry;
        EXPECT_EQ(drives->currentIndex(), 0) << entry;
        EXPECT_EQ(Frm_Path::current(), dialog);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(m_window->isEnabled());
        // Setting the list back points the folder list at that drive again.
        EXPECT_EQ(child<FolderList>(dialog, "DirFolders")->path().escapedText(), m_install) << entry;
        EXPECT_EQ(child<QLineEdit>(dialog, "TxtPath")->text(), m_install) << entry;
    }
}

TEST_F(FolderPicker, AGameFoundInTheHomeIsOfferedAfterTheDrivesAndOkStoresIt)
{
    const QString made = test::makeGameFolder(m_home + QStringLiteral("/.local/share/Steam"), QStringLiteral("cstrike"));
    const QString game = QDir(made).canonicalPath();
    for (const char *shot : {"/de_dust0000.bmp", "/de_dust0001.bmp"})
        m_sandbox.write(made.mid(m_sandbox.path().size() + 1) + QLatin1String(shot), "BM");
    Frm_Path *dialog = clickSetFolder();
    waitForGames(dialog);
    auto *drives = child<DriveList>(dialog, "DrvPath");
    ASSERT_EQ(drives->count(), drives->drives().size() + 1);
    EXPECT_EQ(drives->itemText(drives->count() - 1), game + QStringLiteral(" [Counter-Strike]"));
    drives->setCurrentIndex(drives->count() - 1);
    EXPECT_EQ(child<FolderList>(dialog, "DirFolders")->path().escapedText(), game);
    EXPECT_EQ(child<QLineEdit>(dialog, "TxtPath")->text(), game);
    EXPECT_TRUE(m_messages.messages.empty());
    QTest::mouseClick(child<QPushButton>(dialog, "CmdConfirm"), Qt::LeftButton);
    settle();
    expectStored(game, "2");
    expectMainWindowBack();
}

// The dialog does not wait for the search: each game folder is listed when
// found, and closing the dialog midway stops the search.
TEST_F(FolderPicker, GamesAreListedWhileFoundAndClosingStopsTheSearch)
{
    const auto goOn = std::make_shared<QSemaphore>();
    const auto stopped = std::make_shared<std::atomic<int>>(0);
    const QList<GameFolder> games = {{FilePath::fromEscapedText(m_install), FilePath("Found first")},
                                     {FilePath::fromEscapedText(m_other), FilePath("Never")}};
    QPointer<Frm_Path> dialog = Frm_Path::load(*m_window, m_messages, [this] { return m_drives; },
                                               [=](const GameFolderSink &found, const std::function<bool()> &stop) {
                                                   found(games[0]);
                                                   goOn->acquire();
                                                   *stopped = int(stop()) + int(!found(games[1]));
                                               });
    auto *drives = child<DriveList>(dialog, "DrvPath");
    for (int i = 0; i < 1000 && drives->count() == m_drives.size(); ++i)
        QTest::qWait(5);
    EXPECT_EQ(drives->itemText(drives->count() - 1), m_install + QStringLiteral(" [Found first]"));
    EXPECT_TRUE(dialog->findingGames());
    dialog->close();
    settle();
    EXPECT_TRUE(dialog.isNull());
    goOn->release();
    QThreadPool::globalInstance()->waitForDone(10000);
    EXPECT_EQ(*stopped, 2); // asked to stop, and the folder found after closing refused
    expectMainWindowBack();
}

TEST_F(FolderPicker, ReopeningStartsFromTheCurrentFolderNotTheLastChoice)
{
    Frm_Path *first = clickSetFolder();
    doubleClick(child<FolderList>(first, "DirFolders"), QStringLiteral("Half-Life"));
    QTest::mouseClick(child<QPushButton>(first, "CmdConfirm"), Qt::LeftButton);
    settle();
    EXPECT_EQ(QDir::currentPath(), m_install);
    Frm_Path *second = clickSetFolder();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(child<QLineEdit>(second, "TxtPath")->text(), m_install);
    EXPECT_EQ(child<FolderList>(second, "DirFolders")->path().escapedText(), m_install);
}

TEST_F(FolderPicker, OnlyOneDialogAtATime)
{
    Frm_Path *first = clickSetFolder();
    EXPECT_EQ(openOverSandboxDrives(), first);
}

TEST_F(FolderPicker, ClosingTheMainWindowFirstLeavesNoDialogBehind)
{
    QPointer<Frm_Path> dialog = clickSetFolder();
    m_window.reset();
    settle();
    EXPECT_TRUE(dialog.isNull());
}

TEST_F(FolderPicker, AFolderWhoseNameIsNotUtf8IsListedOpenedAndStoredByteForByte)
{
    m_sandbox.mkdirRaw("game/Caf\xe9");
    m_sandbox.writeRaw("game/Caf\xe9/shot.bmp", "BM");
    Frm_Path *dialog = clickSetFolder();
    auto *folders = child<FolderList>(dialog, "DirFolders");
    const QString shown = QStringLiteral("Caf") + QChar::ReplacementCharacter;
    doubleClick(folders, shown); // the screen shows a replacement character for the byte
    EXPECT_EQ(child<QLineEdit>(dialog, "TxtPath")->text(), m_install + u'/' + shown);
    QTest::mouseClick(child<QPushButton>(dialog, "CmdConfirm"), Qt::LeftButton);
    settle();
    const QByteArray folder = FilePath::fromEscapedText(m_install).bytes() + "/Caf\xe9";
    EXPECT_EQ(m_program.read(QStringLiteral("SLoadPath.txt")), '"' + folder + "\"\r\n");
    EXPECT_EQ(m_window->gameFolder().bytes(), folder);
    EXPECT_EQ(text("TxtSetFolder"), m_install + u'/' + shown);
    EXPECT_EQ(text("txtPicturesFound"), QStringLiteral("1"));
    // At the next start the stored bytes name the same folder.
    EXPECT_EQ(start().gameFolder().bytes(), folder);
}
