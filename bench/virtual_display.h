#pragma once

#include <QProcess>
#include <QString>

namespace grelm::bench {

/// An X server without a screen (Xvfb) that the benchmark starts on a free
/// display for the rows that run the window on the X platform; stopped when
/// destroyed.
class VirtualDisplay {
public:
    /// Starts Xvfb when it is installed; check name() for whether it runs.
    VirtualDisplay();
    ~VirtualDisplay();

    VirtualDisplay(const VirtualDisplay &) = delete;
    VirtualDisplay &operator=(const VirtualDisplay &) = delete;

    /// The display to set in DISPLAY, such as ":91"; empty when none runs.
    QString name() const { return m_name; }
    /// Why none runs; empty when one does.
    QString unavailable() const { return m_unavailable; }

private:
    bool tryDisplay(int number);

    QProcess m_server;
    QString m_name;
    QString m_unavailable;
};

} // namespace grelm::bench
