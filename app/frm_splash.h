#pragma once

#include <QPointer>
#include <QWidget>

namespace grelm {

/// The about window: the about picture in a window without title bar. While it
/// is open the main window is disabled; a click on it, or any other closing,
/// closes it and gives the main window back its focus.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    /// Opens a fresh about window and disables `mainWindow` until it closes.
    static frmSplash *load(QWidget *mainWindow);

    /// Where the picture area's top-left corner starts on the screen.
    static constexpr QPoint kClientPosition{309, 217};
    /// The picture area, which shows the top-left part of the picture.
    static constexpr QSize kClientSize{511, 254};

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    explicit frmSplash(QWidget *mainWindow);
    void Form_Load();
    void Form_Click();

    QPointer<QWidget> m_mainWindow;
    bool m_pressed = false;
    bool m_closed = false;
};

/// The about picture: 512 x 256 pixels.
const QImage &aboutPicture();

} // namespace grelm
