#include "app/web_link_label.h"

#include <QEnterEvent>
#include <QTest>

#include <gtest/gtest.h>

using namespace grelm;

namespace {

class WebLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFont underlined = m_window.font();
        underlined.setUnderline(true); // a window font that would underline its labels
        m_window.setFont(underlined);
        m_label = new WebLinkLabel(QStringLiteral("http://www.grelm.example/a path?q=1"), &m_window);
        m_label->setGeometry(8, 352, 169, 17);
        m_label->setUrlOpener([this](const QUrl &url) { m_opened << url; });
        m_window.resize(504, 373);
        m_window.show();
    }

    QColor colour() const { return m_label->palette().color(QPalette::WindowText); }

    void enter()
    {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), m_label->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(m_label, &event);
    }
    void leave()
    {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(m_label, &event);
    }

    QWidget m_window;
    WebLinkLabel *m_label = nullptr;
    QList<QUrl> m_opened;
};

} // namespace

TEST_F(WebLink, BlueUnderThePointerWhiteOtherwiseNeverUnderlined)
{
    EXPECT_EQ(m_label->toolTip(), QStringLiteral("Visit our Website!"));
    EXPECT_EQ(colour(), QColor(255, 255, 255));
    EXPECT_FALSE(m_label->font().underline());
    enter();
    EXPECT_EQ(colour(), QColor(0, 0, 255));
    EXPECT_FALSE(m_label->font().underline());
    leave();
    EXPECT_EQ(colour(), QColor(255, 255, 255));
    EXPECT_FALSE(m_label->font().underline());
    EXPECT_TRUE(m_opened.isEmpty());
}

TEST_F(WebLink, AClickTurnsItWhiteAndOpensExactlyItsText)
{
    enter();
    QTest::mouseClick(m_label, Qt::LeftButton, {}, QPoint(10, 8));
    EXPECT_EQ(colour(), QColor(255, 255, 255));
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened.first(), QUrl(m_label->text()));
    EXPECT_EQ(m_opened.first().toString(), QStringLiteral("http://www.grelm.example/a path?q=1"));
}

TEST_F(WebLink, ReleasingElsewhereOpensNothing)
{
    enter();
    QTest::mousePress(m_label, Qt::LeftButton, {}, QPoint(10, 8));
    QTest::mouseRelease(m_label, Qt::LeftButton, {}, QPoint(300, 8));
    QTest::mouseClick(m_label, Qt::RightButton, {}, QPoint(10, 8));
    EXPECT_TRUE(m_opened.isEmpty());
}
