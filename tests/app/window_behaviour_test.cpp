#include "main_window_fixture.h"

#include <QApplication>
#include <QTest>

namespace grelm::test {
namespace {

class WindowBehaviourTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        storeGameFolder();
        start().show();
        QApplication::setActiveWindow(m_window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    }
    QString focused() const
    {
        QWidget *w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }
};

TEST_F(WindowBehaviourTest, FolderBoxTakesNoFocusOrTyping)
{
    auto *folder = control<QLineEdit>("TxtSetFolder");
    const QString before = focused();
    QTest::mouseClick(folder, Qt::LeftButton);
    QTest::keyClicks(folder, "typed");
    EXPECT_EQ(focused(), before);
    EXPECT_EQ(folder->text(), m_game.path());
}

TEST_F(WindowBehaviourTest, CountBoxRefusesTyping)
{
    auto *count = control<QLineEdit>("txtPicturesFound");
    QTest::mouseClick(count, Qt::LeftButton);
    QTest::keyClicks(count, "42");
    QTest::keyClick(count, Qt::Key_Backspace);
    EXPECT_EQ(count->text(), QStringLiteral("0"));
}

TEST_F(WindowBehaviourTest, WidthBoxTakesTyping)
{
    auto *width = control<QLineEdit>("txtThumbs");
    width->setFocus();
    width->selectAll();
    QTest::keyClicks(width, "120");
    EXPECT_EQ(width->text(), QStringLiteral("120"));
}

TEST_F(WindowBehaviourTest, TabWalksTheControlsInOrderAndWraps)
{
    EXPECT_EQ(focused(), QStringLiteral("txtPicturesFound"));
    const QStringList expected = {"CmdSetFolder", "chkThumbs", "txtThumbs", "cmdConvert", "PLogo",
                                  "Aboutbox",     "chkDelSource", "txtPicturesFound"};
    QStringList walked;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << focused();
    }
    EXPECT_EQ(walked, expected);
}

TEST_F(WindowBehaviourTest, ClosingAsksARunningPassToStop)
{
    EXPECT_FALSE(m_window->stopRequested());
    m_window->close();
    EXPECT_TRUE(m_window->stopRequested());
}

} // namespace
} // namespace grelm::test
