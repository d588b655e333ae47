#pragma once

class QWidget;

namespace grelm {

/// Shows `window` modeless in front and gives it the focus.
void showInFront(QWidget *window);

/// Enables the main window again and gives it the focus, once a secondary
/// window that disabled it has closed.
void giveBackFocus(QWidget *mainWindow);

} // namespace grelm
