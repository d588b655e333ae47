#include "app/frm_splash.h"

#include "app/secondary_window.h"
#include "resources/resources.h"

#include <QCloseEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace grelm {

namespace {

constexpr int kBorder = 1; // the thin frame drawn around the picture area

} // namespace

const QImage &aboutPicture()
{
    static const QImage image(kAboutPicture);
    return image;
}

frmSplash *frmSplash::load(QWidget *mainWindow)
{
    auto *splash = new frmSplash(mainWindow);
    splash->Form_Load();
    if (mainWindow)
        mainWindow->setEnabled(false);
    return splash;
}

frmSplash::frmSplash(QWidget *mainWindow)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    const QSize outer = kClientSize + QSize(2 * kBorder, 2 * kBorder);
    setFixedSize(outer);
    move(kClientPosition - QPoint(kBorder, kBorder));
}

void frmSplash::Form_Load()
{
    showInFront(this);
    setFocus();
}

void frmSplash::Form_Click()
{
    close();
}

void frmSplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QColor(0, 0, 0));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect client = contentsRect();
    painter.setClipRect(client);
    painter.drawImage(client.topLeft(), aboutPicture());
}

void frmSplash::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void frmSplash::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        Form_Click();
}

// Every way of closing, the click and the system's close key alike, ends here.
void frmSplash::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_closed)
        return;
    m_closed = true;
    giveBackFocus(m_mainWindow);
}

} // namespace grelm
