#include "app/app_font.h"
#include "app/bundled_qt.h"
#include "cli/command_line.h"
#include "cli/console_main.h"
#include "app/display_check.h"
#include "app/frm_converter.h"
#include "app/message_box.h"
#include "core/system_folders.h"
#include "resources/resources.h"

#include <QApplication>
#include <QIcon>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    // Before anything of Qt loads a plugin, in every mode (thumbnails read pictures through plugins too).
    grelm::keepToBundledQt();
    // The command-line modes run with no window, and so with no display.
    const grelm::CommandLine line = grelm::parseCommandLine(std::vector<QByteArray>(argv + std::min(argc, 1), argv + argc));
    if (line.mode != grelm::CommandLine::Mode::Window)
        return grelm::runConsole(argc, argv, line);
    if (!grelm::displayAvailable()) {
        std::fputs(grelm::kNoDisplayMessage, stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("GRELM Screenshot Converter"));
    // Wayland desktops find the window's icon through the desktop entry of this name.
    QApplication::setDesktopFileName(QStringLiteral("grelm-converter"));
    QIcon icon(grelm::kIconFile);
    icon.addFile(grelm::kIconPicture);
    QApplication::setWindowIcon(icon);
    grelm::registerWindowFont(grelm::programFolder());
    QApplication::setFont(grelm::windowFont());

    grelm::MessageBoxSink messages;
    grelm::Frm_Converter window(messages);
    messages.setParent(&window);
    window.show();
    return app.exec();
}
