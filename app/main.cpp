#include "app/app_font.h"
#include "app/display_check.h"
#include "app/frm_converter.h"
#include "app/message_box.h"
#include "resources/resources.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char **argv)
{
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
    grelm::registerWindowFont(QApplication::applicationDirPath());
    QApplication::setFont(grelm::windowFont());

    grelm::MessageBoxSink messages;
    grelm::Frm_Converter window(messages);
    messages.setParent(&window);
    window.show();
    return app.exec();
}
