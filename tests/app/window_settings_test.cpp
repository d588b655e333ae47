#include "main_window_fixture.h"

#include "settings/setting_file.h"

#include <QDir>

namespace grelm::test {
namespace {

using WindowSettingsTest = MainWindowTest;

TEST_F(WindowSettingsTest, WritePathStoresTheFolderBoxAsItIs)
{
    Frm_Converter &window = start(); // no setting file yet: one message
    m_messages.messages.clear();
    control<QLineEdit>("TxtSetFolder")->setText(QStringLiteral("/games/Half-Life "));
    window.SWritePath();
    EXPECT_TRUE(m_messages.messages.empty());
    EXPECT_EQ(m_program.read(QStringLiteral("SLoadPath.txt")), QByteArray("\"/games/Half-Life \"\r\n"));
}

TEST_F(WindowSettingsTest, FailedWriteSaysSoOnceAndKeepsTheFolder)
{
    TempFolder sandbox;
    sandbox.write(QStringLiteral("plain-file"), "x");
    // Both places lie inside a regular file: nothing can be created there.
    const SettingPlaces places{sandbox.filePath(QStringLiteral("plain-file/bin")),
                               sandbox.filePath(QStringLiteral("plain-file/config"))};
    m_window = std::make_unique<Frm_Converter>(m_messages, places);
    m_messages.messages.clear();
    control<QLineEdit>("TxtSetFolder")->setText(m_game.path());

    m_window->SWritePath();
    ASSERT_EQ(m_messages.messages.size(), 1u);
    const Message &message = m_messages.messages[0];
    EXPECT_EQ(message.icon, MessageIcon::Exclamation);
    EXPECT_TRUE(message.text.contains(QStringLiteral("could not be saved")));
    EXPECT_TRUE(message.text.contains(QStringLiteral("Not a directory"))) << message.text.toStdString();
    EXPECT_EQ(text("TxtSetFolder"), m_game.path());
}

TEST_F(WindowSettingsTest, RecountFollowsTheFolderBox)
{
    storeGameFolder();
    Frm_Converter &window = start();
    EXPECT_EQ(text("txtPicturesFound"), QStringLiteral("0"));
    m_game.write(QStringLiteral("de_dust0000.bmp"), "BM");
    m_game.write(QStringLiteral("de_dust0001.bmp"), "BM");
    window.SFindDir();
    EXPECT_EQ(text("txtPicturesFound"), QStringLiteral("2"));
    control<QLineEdit>("TxtSetFolder")->setText(m_game.file(QStringLiteral("no-such-folder")));
    window.SFindDir();
    EXPECT_EQ(text("txtPicturesFound"), QStringLiteral("0"));
}

TEST_F(WindowSettingsTest, SettingFileLivesInTheProgramFolderNotTheWorkingFolder)
{
    storeGameFolder();
    const QString previous = QDir::currentPath();
    TempFolder elsewhere;
    QDir::setCurrent(elsewhere.path());
    Frm_Converter &window = start();
    window.SWritePath();
    QDir::setCurrent(previous);
    EXPECT_TRUE(m_messages.messages.empty());
    EXPECT_EQ(text("TxtSetFolder"), m_game.path());
    EXPECT_FALSE(elsewhere.exists(QStringLiteral("SLoadPath.txt")));
}

} // namespace
} // namespace grelm::test
