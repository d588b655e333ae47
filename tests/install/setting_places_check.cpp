// grelm-setting-places-check: starts the real main window headless over the
// places an installed program uses (its own folder, then the user's config
// folder), prints the folder its start-up read and every message box, one a line:
//   read: <folder>
//   message: <title> | <text>
// and, given a FOLDER, chooses it as the Set Folder dialog's Ok does and stores it.
// Usage: grelm-setting-places-check [FOLDER]   (exit status 0; 2 on bad usage)

#include "app/frm_converter.h"
#include "core/messages.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Prints each message as it is shown, so none blocks the run.
class PrintingMessageSink : public grelm::MessageSink {
public:
    void show(const grelm::Message &message) override
    {
        std::printf("message: %s | %s\n", qPrintable(message.title), qPrintable(message.text));
    }
};

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [FOLDER]\n", argv[0]);
        return 2;
    }
    PrintingMessageSink messages;
    grelm::Frm_Converter window(messages);
    std::printf("read: %s\n", window.gameFolder().data());
    if (argc == 2) {
        window.setGameFolderText(grelm::FilePath(QByteArray(argv[1])));
        window.SWritePath();
    }
    return 0;
}
