// The About button, and the web link, as the main window wires them.
#include "app/frm_splash.h"
#include "app/web_address.h"
#include "app/web_link_label.h"
#include "main_window_fixture.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace grelm;

namespace {

class MainWindowLinks : public grelm::test::MainWindowTest {
protected:
    void SetUp() override
    {
        storeGameFolder();
        start().show();
        QCoreApplication::processEvents();
    }

    static frmSplash *openSplash()
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *splash = qobject_cast<frmSplash *>(window); splash && splash->isVisible())
                return splash;
        return nullptr;
    }
};

} // namespace

TEST_F(MainWindowLinks, AboutOpensAFreshAboutWindowEachTimeAndItsClickGivesTheWindowBack)
{
    for (int opening = 0; opening < 2; ++opening) {
        QTest::mouseClick(control<QPushButton>("Aboutbox"), Qt::LeftButton);
        QCoreApplication::processEvents();
        QPointer<frmSplash> splash = openSplash();
        ASSERT_FALSE(splash.isNull()) << opening;
        EXPECT_FALSE(m_window->isEnabled());
        EXPECT_EQ(QApplication::activeWindow(), splash.data());

        QTest::mouseClick(splash, Qt::LeftButton, {}, QPoint(250, 120));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        EXPECT_TRUE(splash.isNull()) << opening;
        EXPECT_TRUE(m_window->isEnabled());
        EXPECT_EQ(QApplication::activeWindow(), m_window.get());
        EXPECT_TRUE(m_window->hasFocus());
    }
}

TEST_F(MainWindowLinks, TheWebLinkOpensTheMakersAddress)
{
    auto *link = control<WebLinkLabel>("LblIpGrelm");
    ASSERT_NE(link, nullptr);
    QList<QUrl> opened;
    link->setUrlOpener([&opened](const QUrl &url) { opened << url; });
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(opened, QList<QUrl>({QUrl(kMakersWebAddress)}));
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(255, 255, 255));
}
