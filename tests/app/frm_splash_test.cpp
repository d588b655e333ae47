#include "app/frm_splash.h"
#include "support/settle.h"

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

using namespace grelm;
using grelm::test::settle;

namespace {

class AboutWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_main.resize(200, 100);
        m_main.show();
        m_main.activateWindow();
    }

    QWidget m_main;
};

} // namespace

TEST_F(AboutWindow, OpensInFrontAtItsPlaceWithTheMainWindowDisabled)
{
    QPointer<frmSplash> splash = frmSplash::load(&m_main);
    QCoreApplication::processEvents(); // lets the window system activate it
    EXPECT_FALSE(m_main.isEnabled());
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), splash);
    EXPECT_TRUE(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(splash->findChildren<QWidget *>().isEmpty()); // a picture, no controls
    const QRect client = splash->contentsRect();
    EXPECT_EQ(client.size(), QSize(511, 254));
    EXPECT_EQ(splash->mapToGlobal(client.topLeft()), QPoint(309, 217));
    splash->close();
    settle();
}

TEST_F(AboutWindow, AClickOrTheCloseKeyClosesItAndGivesTheMainWindowBack)
{
    for (const bool click : {true, false}) {
        QPointer<frmSplash> splash = frmSplash::load(&m_main);
        if (click)
            QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(400, 200));
        else
            splash->close(); // what the system's close key does
        settle();
        EXPECT_TRUE(splash.isNull()) << click;
        EXPECT_TRUE(m_main.isEnabled()) << click;
        EXPECT_EQ(QApplication::activeWindow(), &m_main) << click;
        EXPECT_TRUE(m_main.hasFocus()) << click;
    }
}

TEST_F(AboutWindow, EachOpeningIsAFreshWindowAtItsPlace)
{
    QPointer<frmSplash> first = frmSplash::load(&m_main);
    first->move(10, 10);
    QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(5, 5));
    settle();
    QPointer<frmSplash> second = frmSplash::load(&m_main);
    EXPECT_TRUE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(second->mapToGlobal(second->contentsRect().topLeft()), QPoint(309, 217));
    EXPECT_EQ(QApplication::topLevelWidgets().count(QPointer<QWidget>(second).data()), 1);
    second->close();
    settle();
}

TEST(AboutPicture, IsBuiltIntoTheProgramAt512By256)
{
    EXPECT_EQ(aboutPicture().size(), QSize(512, 256));
}
