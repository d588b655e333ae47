#include "app/app_font.h"
#include "app/frm_converter.h"
#include "app/message_box.h"
#include "resources/resources.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("GRELM Screenshot Converter"));
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
