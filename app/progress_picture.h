#pragma once

#include <QWidget>

namespace grelm {

/// The progress bar: a box cleared in the button colour with a bar filled in the
/// highlight colour from its left edge; a fill beyond the box is cut at its edge.
class ProgressPicture : public QWidget {
    Q_OBJECT
public:
    explicit ProgressPicture(QWidget *parent = nullptr);

    /// Clears the box to its background colour.
    void clear();
    /// Fills from the left edge to `width` pixels (nothing when `width` <= 0).
    void fill(int width);
    /// How far the bar is filled, in pixels.
    int filled() const { return m_fill; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_fill = 0;
};

} // namespace grelm
