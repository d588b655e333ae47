#include "main_window_fixture.h"

#include "app/paced_progress.h"
#include "app/web_address.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>

#include <thread>

namespace grelm::test {
namespace {

class WindowLookTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        storeGameFolder();
        start();
    }
};

TEST_F(WindowLookTest, WindowFontIsTahoma)
{
    const QFontInfo info(m_window->font());
    EXPECT_EQ(info.family(), QStringLiteral("Tahoma"));
    EXPECT_DOUBLE_EQ(m_window->font().pointSizeF(), 8.25);
    EXPECT_EQ(QFontInfo(control("txtPicturesFound")->font()).family(), QStringLiteral("Tahoma"));
}

// A wider substitute font would push captions past their fixed boxes.
TEST_F(WindowLookTest, CaptionsFitTheirBoxes)
{
    for (const char *name : {"LblDefaultF", "lblPictures", "Label1", "lblThumbsSize", "lblProgress", "LblIpGrelm"}) {
        auto *label = control<QLabel>(name);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << name;
        EXPECT_LE(label->fontMetrics().height(), label->height()) << name;
    }
    for (const char *name : {"chkThumbs", "chkDelSource"}) {
        auto *box = control<QCheckBox>(name);
        EXPECT_LE(box->sizeHint().width(), box->width()) << name;
    }
    for (const char *name : {"CmdSetFolder", "cmdConvert", "Aboutbox"}) {
        auto *button = control<QAbstractButton>(name);
        // Room for the caption and a few pixels of bevel each side.
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width()) << name;
    }
}

TEST_F(WindowLookTest, StripedBackgroundShowsBetweenControls)
{
    const QImage picture = m_window->grab().toImage();
    ASSERT_EQ(picture.size(), QSize(504, 373));
    // The left side below the count box holds no control.
    for (int y = 220; y < 224; ++y) {
        const QColor expected = y % 2 == 0 ? QColor(0, 0, 0) : QColor(37, 33, 30);
        EXPECT_EQ(picture.pixelColor(60, y), expected) << y;
    }
}

TEST_F(WindowLookTest, GreyRulesAreTwoPixelsWide)
{
    const QImage picture = m_window->grab().toImage();
    const QColor grey(128, 128, 128);
    // The rule under the folder row runs at 168 px (2520 twips), from x 8 to 496.
    EXPECT_EQ(picture.pixelColor(250, 167), grey);
    EXPECT_EQ(picture.pixelColor(250, 168), grey);
    EXPECT_NE(picture.pixelColor(250, 166), grey);
    EXPECT_NE(picture.pixelColor(250, 169), grey);
    EXPECT_NE(picture.pixelColor(250, 2), grey);
    EXPECT_EQ(picture.pixelColor(250, 0), grey); // the top rule: half of it lies above the window
}

TEST_F(WindowLookTest, BannerShowsUnscaledFromTheTopLeft)
{
    auto *logo = control<QLabel>("PLogo");
    const QPixmap banner = logo->pixmap();
    EXPECT_EQ(banner.size(), QSize(512, 80));
    EXPECT_EQ(logo->size(), QSize(489, 81));
}

TEST_F(WindowLookTest, WebLinkShowsTheAddress)
{
    EXPECT_EQ(control<QLabel>("LblIpGrelm")->text(), kMakersWebAddress);
}

TEST_F(WindowLookTest, ProgressBarFillsFromTheLeftInTheHighlightColour)
{
    Frm_Converter &window = *m_window;
    window.showProgress();
    EXPECT_TRUE(control("picProgress")->isVisibleTo(&window));
    EXPECT_TRUE(control("lblProgress")->isVisibleTo(&window));
    ASSERT_EQ(window.progressBarWidth(), 218);
    ASSERT_EQ(control("picProgress")->height(), 17);

    const QPalette palette = control("picProgress")->palette();
    // Values reach the bar at the first event turn after showing, then a frame apart.
    window.fillProgressBar(100);
    window.processEvents();
    QImage bar = control("picProgress")->grab().toImage();
    EXPECT_EQ(bar.pixelColor(0, 0), palette.color(QPalette::Highlight));
    EXPECT_EQ(bar.pixelColor(99, 16), palette.color(QPalette::Highlight));
    EXPECT_EQ(bar.pixelColor(100, 8), palette.color(QPalette::Button));

    window.fillProgressBar(5000); // more than the bar holds: cut at its edge
    std::this_thread::sleep_for(PacedProgress::kFrame);
    window.processEvents();
    bar = control("picProgress")->grab().toImage();
    EXPECT_EQ(bar.pixelColor(217, 8), palette.color(QPalette::Highlight));

    window.showProgress(); // a new pass starts cleared
    bar = control("picProgress")->grab().toImage();
    EXPECT_EQ(bar.pixelColor(0, 0), palette.color(QPalette::Button));

    window.setProgressCaption(QStringLiteral("2 of 7"));
    window.hideProgress(); // with the caption last set
    EXPECT_EQ(control<QLabel>("lblProgress")->text(), QStringLiteral("2 of 7"));
    EXPECT_FALSE(control("picProgress")->isVisibleTo(&window));
    EXPECT_FALSE(control("lblProgress")->isVisibleTo(&window));
}

TEST_F(WindowLookTest, ConvertViewReadsTheControls)
{
    control<QCheckBox>("chkThumbs")->setChecked(true);
    control<QLineEdit>("txtThumbs")->setText(QStringLiteral("96"));
    EXPECT_TRUE(m_window->thumbsChecked());
    EXPECT_FALSE(m_window->deleteSourceChecked());
    EXPECT_EQ(m_window->thumbWidthText(), QStringLiteral("96"));
    EXPECT_EQ(m_window->gameFolder(), m_game.filePath());
    EXPECT_EQ(m_window->countText(), QStringLiteral("0"));
}

} // namespace
} // namespace grelm::test
