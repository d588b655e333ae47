#include "app/secondary_window.h"

#include <QWidget>

namespace grelm {

void showInFront(QWidget *window)
{
    window->show();
    window->activateWindow();
}

void giveBackFocus(QWidget *mainWindow)
{
    if (!mainWindow)
        return;
    mainWindow->setEnabled(true);
    mainWindow->activateWindow();
    mainWindow->setFocus();
}

} // namespace grelm
