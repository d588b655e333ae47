#pragma once

#include <QPoint>
#include <QWidget>

namespace grelm {

/// A decorative line between two points of its parent: grey, 2 pixels wide,
/// solid. It takes no focus and lets the pointer through.
class LineShape : public QWidget {
    Q_OBJECT
public:
    LineShape(QPoint from, QPoint to, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint m_from;
    QPoint m_to;
};

} // namespace grelm
