#pragma once

#include <QElapsedTimer>
#include <QString>

#include <chrono>
#include <optional>

class QLabel;

namespace grelm {

class ProgressPicture;

/// The progress caption and bar as a pass sets them, handed on to the label
/// and the picture at the screen's pace rather than once per file: the latest
/// of each is kept, pushed at the first event turn after showing and then at
/// most once a frame, and pushed at once by flush(), so that what the window
/// ends with is always the last caption and fill that were set.
class PacedProgress {
public:
    PacedProgress(QLabel &caption, ProgressPicture &bar);

    /// Clears the bar, drops anything pending and makes the next turn due.
    void restart();
    void setCaption(const QString &caption) { m_caption = caption; }
    void setFill(int fill) { m_fill = fill; }
    /// Pushes what is pending when a frame has passed since the last push.
    void turn();
    /// Pushes what is pending now.
    void flush();

    /// The least time between two pushes at event turns.
    static constexpr std::chrono::milliseconds kFrame{16};

private:
    QLabel &m_label;
    ProgressPicture &m_bar;
    std::optional<QString> m_caption;
    std::optional<int> m_fill;
    QElapsedTimer m_sincePush; // invalid until the first push after restart
};

} // namespace grelm
