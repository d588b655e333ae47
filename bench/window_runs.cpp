#include "bench/window_runs.h"

#include "bench/convert_runs.h"
#include "bench/folder_scan.h"

#include "app/app_font.h"
#include "app/frm_converter.h"
#include "core/messages.h"
#include "settings/setting_file.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>

namespace grelm::bench {

namespace {

// The longest time the window's thread went without starting a turn of its
// event handling, from the dispatcher's own signal.
class GapWatch {
public:
    GapWatch()
    {
        m_connection = QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
                                        [this] { turn(); });
    }
    ~GapWatch() { QObject::disconnect(m_connection); }
    void turn()
    {
        m_longest = std::max(m_longest, m_sinceTurn.seconds());
        m_sinceTurn.restart();
        ++m_turns;
    }
    /// The longest gap in ms, counting the one still open; -1 when no turn was seen.
    double longestMs() { return m_turns > 0 ? (turn(), m_longest * 1000) : -1; }

private:
    QMetaObject::Connection m_connection;
    Stopwatch m_sinceTurn;
    double m_longest = 0;
    int m_turns = 0;
};

// Shows the window and handles events until the window system has put it on
// the screen (or two seconds passed), so that the pass paints into a real surface.
void showAndWaitForScreen(QWidget &window)
{
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

Measurement runWindowConvert(const QString &folder, bool thumbnails)
{
    const int bitmaps = countFilesMatching(folder, "", ".bmp");
    const double megapixels = bitmapMegapixels(folder);
    registerWindowFont(FilePath::fromEscapedText(QCoreApplication::applicationDirPath()));
    QApplication::setFont(windowFont());
    QTemporaryDir program, config;
    writeSettingFile(FilePath::fromEscapedText(program.path()), FilePath::fromEscapedText(folder));
    RecordingMessageSink messages;
    Frm_Converter window(messages, SettingPlaces{FilePath::fromEscapedText(program.path()), FilePath::fromEscapedText(config.path())});
    window.findChild<QCheckBox *>(QStringLiteral("chkThumbs"))->setChecked(thumbnails);
    showAndWaitForScreen(window);
    auto *convert = window.findChild<QPushButton *>(QStringLiteral("cmdConvert"));

    Measurement m;
    GapWatch gaps;
    const Stopwatch clock;
    const double windowCpuStart = threadCpuSeconds();
    convert->click();
    m.seconds = clock.seconds();
    m.cpuSeconds = clock.cpuSeconds();
    m.windowCpuSeconds = threadCpuSeconds() - windowCpuStart;
    m.longestGapMs = gaps.longestMs();
    m.files = bitmaps;
    m.megapixels = megapixels;
    m.unavailable = convertOutcome(folder, thumbnails, bitmaps, messages);
    return m;
}

} // namespace grelm::bench
