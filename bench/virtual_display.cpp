#include "bench/virtual_display.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

namespace grelm::bench {

namespace {

QString socketOf(int number) { return QStringLiteral("/tmp/.X11-unix/X%1").arg(number); }

bool displayTaken(int number)
{
    return QFile::exists(socketOf(number)) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number));
}

} // namespace

VirtualDisplay::VirtualDisplay()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        m_unavailable = QStringLiteral("Xvfb is not installed");
        return;
    }
    for (int number = 91; number < 140; ++number) {
        if (!displayTaken(number) && tryDisplay(number))
            return;
    }
    m_unavailable = QStringLiteral("Xvfb did not start on any free display");
}

VirtualDisplay::~VirtualDisplay()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(3000))
        m_server.kill(), m_server.waitForFinished(1000);
}

// Starts the server on `number` and waits up to five seconds for its socket;
// false when it ended first (another server took the display meanwhile).
bool VirtualDisplay::tryDisplay(int number)
{
    m_server.setStandardOutputFile(QProcess::nullDevice());
    m_server.setStandardErrorFile(QProcess::nullDevice());
    m_server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(number), "-screen", "0", "1024x768x24",
                                            "-nolisten", "tcp"});
    if (!m_server.waitForStarted(3000))
        return false;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000) {
        if (m_server.state() == QProcess::NotRunning)
            return false;
        if (QFile::exists(socketOf(number))) {
            m_name = QStringLiteral(":%1").arg(number);
            return true;
        }
        QThread::msleep(20);
    }
    m_server.kill();
    m_server.waitForFinished(1000);
    return false;
}

} // namespace grelm::bench
