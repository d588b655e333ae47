// The Convert button clicked in the main window: files written, progress
// shown and hidden, commands blocked during the pass, the one wrong-path
// message, and closing the window in the middle of a pass.
#include "app/paced_progress.h"
#include "app/progress_picture.h"
#include "core/user_messages.h"
#include "main_window_fixture.h"
#include "support/qt_print.h"
#include "support/test_picture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>
#include <thread>

namespace grelm::test {

namespace {

const Message kWrongPath = wrongPathMessage();

// Runs `look` at every turn of the window's event handling until stopped.
class EveryTurn {
public:
    explicit EveryTurn(std::function<void()> look)
    {
        QObject::connect(&m_timer, &QTimer::timeout, std::move(look));
        m_timer.start(0);
    }

private:
    QTimer m_timer;
};

int threadCount()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("Threads:"))
            return line.mid(8).trimmed().toInt();
    return -1;
}

} // namespace

class ConvertClickTest : public MainWindowTest {
protected:
    void screenshots(int count, int w = 160, int h = 120)
    {
        for (int i = 0; i < count; ++i)
            m_game.write(QStringLiteral("Shot%1.BMP").arg(i, 2, 10, QChar(u'0')), screenshotFile(w, h, i));
    }
    Frm_Converter &startOver()
    {
        storeGameFolder();
        return start();
    }
    void click() { QTest::mouseClick(control<QPushButton>("cmdConvert"), Qt::LeftButton); }
    QStringList gameFiles() const { return QDir(m_game.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};

TEST_F(ConvertClickTest, ConvertsWithProgressAndBlocksTheCommandsMeanwhile)
{
    screenshots(4);
    startOver().show();
    QStringList captions;
    bool commandsBlocked = true;
    bool optionsLive = true;
    EveryTurn look([&] {
        auto *caption = control<QLabel>("lblProgress");
        if (!caption->isVisible())
            return;
        if (captions.isEmpty() || captions.back() != caption->text())
            captions << caption->text();
        commandsBlocked = commandsBlocked && !control<QPushButton>("cmdConvert")->isEnabled()
                          && !control<QPushButton>("CmdSetFolder")->isEnabled()
                          && !control<QPushButton>("Aboutbox")->isEnabled();
        optionsLive = optionsLive && control<QCheckBox>("chkThumbs")->isEnabled()
                      && control<QCheckBox>("chkDelSource")->isEnabled();
    });
    click();

    EXPECT_TRUE(m_messages.messages.empty());
    EXPECT_EQ(gameFiles(), QStringList({"Shot00.BMP", "Shot01.BMP", "Shot02.BMP", "Shot03.BMP", "shot00.jpg",
                                        "shot01.jpg", "shot02.jpg", "shot03.jpg"}));
    // The first caption is replaced before the window can show it; later ones
    // show at the screen's pace, so some may be passed over, never reordered.
    const QStringList designed = {"Converting (1 of 4)", "Converting (2 of 4)", "Converting (3 of 4)"};
    ASSERT_FALSE(captions.isEmpty());
    EXPECT_EQ(captions.front(), designed.front());
    for (qsizetype i = 1; i < captions.size(); ++i)
        EXPECT_GT(designed.indexOf(captions[i]), designed.indexOf(captions[i - 1])) << captions.join(", ").toStdString();
    // Hidden with the last caption and fill of the pass: three quarters of the 218-pixel bar, half to even.
    EXPECT_EQ(control<QLabel>("lblProgress")->text(), "Converting (3 of 4)");
    EXPECT_EQ(control<ProgressPicture>("picProgress")->filled(), 164);
    EXPECT_TRUE(commandsBlocked);
    EXPECT_TRUE(optionsLive);
    EXPECT_FALSE(control<QLabel>("lblProgress")->isVisibleTo(m_window.get()));
    EXPECT_FALSE(control<QWidget>("picProgress")->isVisibleTo(m_window.get()));
    EXPECT_TRUE(control<QPushButton>("cmdConvert")->isEnabled());
    EXPECT_TRUE(control<QPushButton>("CmdSetFolder")->isEnabled());
    EXPECT_TRUE(control<QPushButton>("Aboutbox")->isEnabled());
    EXPECT_EQ(text("txtPicturesFound"), "4"); // not refreshed
}

// What the caption and bar show after the ConvertView calls of a pass: the
// latest values reach them at the first turn after showing, at a turn a frame
// later, and on hiding.
TEST_F(ConvertClickTest, ProgressShowsTheLatestCaptionAndFillAtTheTurnsDue)
{
    const auto frameLater = [](Frm_Converter &w) {
        std::this_thread::sleep_for(PacedProgress::kFrame);
        w.processEvents();
    };
    struct Case {
        const char *name;
        std::function<void(Frm_Converter &)> afterSecondValues;
        QString caption;
        int fill;
    };
    const Case cases[] = {
        {"first turn only", [](Frm_Converter &) {}, "Converting (1 of 9)", 10},
        {"a turn a frame later", frameLater, "Converting (2 of 9)", 20},
        {"hidden", [](Frm_Converter &w) { w.hideProgress(); }, "Converting (2 of 9)", 20},
    };
    Frm_Converter &window = start();
    window.show();
    for (const Case &c : cases) {
        window.showProgress();
        window.setProgressCaption("Converting (1 of 9)");
        window.fillProgressBar(10);
        window.processEvents();
        window.setProgressCaption("Converting (2 of 9)");
        window.fillProgressBar(20);
        c.afterSecondValues(window);
        EXPECT_EQ(control<QLabel>("lblProgress")->text(), c.caption) << c.name;
        EXPECT_EQ(control<ProgressPicture>("picProgress")->filled(), c.fill) << c.name;
    }
}

TEST_F(ConvertClickTest, MakesThumbnailsAndDeletesSourcesWhenAsked)
{
    screenshots(3, 640, 480);
    startOver();
    control<QCheckBox>("chkThumbs")->setChecked(true);
    control<QCheckBox>("chkDelSource")->setChecked(true);
    control<QLineEdit>("txtThumbs")->setText("35");
    click();
    EXPECT_TRUE(m_messages.messages.empty());
    EXPECT_EQ(gameFiles(), QStringList({"shot00.jpg", "shot01.jpg", "shot02.jpg"}));
    EXPECT_EQ(QDir(m_game.file("Thumbs")).entryList(QDir::Files), QStringList({"th_shot00.jpg", "th_shot01.jpg",
                                                                              "th_shot02.jpg"}));
    EXPECT_EQ(QImage(m_game.file("Thumbs/th_shot01.jpg")).size(), QSize(35, 26));
}

TEST_F(ConvertClickTest, AGameFolderThatIsGoneGivesTheWrongPathMessage)
{
    screenshots(1);
    startOver();
    control<QLineEdit>("TxtSetFolder")->setText(m_game.file("gone"));
    click();
    EXPECT_EQ(m_messages.messages, std::vector<Message>({kWrongPath}));
    EXPECT_FALSE(QFile::exists(m_game.file("gone")));
    EXPECT_EQ(gameFiles(), QStringList({"Shot00.BMP"}));
    EXPECT_TRUE(control<QPushButton>("cmdConvert")->isEnabled());
}

TEST_F(ConvertClickTest, ClosingTheWindowMidPassStopsCleanly)
{
    screenshots(40, 320, 240);
    Frm_Converter &window = startOver();
    window.show();
    const int threadsBefore = threadCount();
    bool closed = false;
    EveryTurn look([&] {
        if (!closed && control<QLabel>("lblProgress")->text().startsWith("Converting (")) {
            closed = true;
            window.close();
        }
    });
    click();

    EXPECT_TRUE(closed);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(m_messages.messages.empty());
    const QStringList files = gameFiles();
    EXPECT_TRUE(files.contains("shot01.jpg"));
    EXPECT_FALSE(files.contains("shot39.jpg"));
    for (const QString &name : files)
        EXPECT_FALSE(name.startsWith('.')) << name.toStdString(); // no half-written file
    for (const QString &name : files.filter(".jpg"))
        EXPECT_FALSE(QImage(m_game.file(name)).isNull()) << name.toStdString();
    EXPECT_EQ(threadCount(), threadsBefore);
}

} // namespace grelm::test
