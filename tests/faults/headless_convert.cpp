// grelm-headless-convert: runs the real Convert command on a folder through the
// console's view and prints every message box it would show, one a line:
//   message: <title> | <text>
// Usage: grelm-headless-convert <folder> [--thumbs] [--delete] [--width N]
//        [--captions] [--at-yield N COMMAND] [--at-thumbnail-pass COMMAND]
//        [--kill-after US] [--stats]
// --at-yield runs COMMAND through /bin/sh when the pass hands the window its
// N-th event turn, so another program can change the folder mid-pass;
// --at-thumbnail-pass at the first event turn after the thumbnail pass's
// first file, when every thumbnail has been made.
// --captions prints "caption: <ms since start> <caption>" at every progress
// step, "caption: <ms> start" as the command starts and "caption: <ms> end".
// --kill-after sends the process SIGKILL US microseconds after the command
// starts: a crash at a moment chosen to the microsecond.
// --stats prints the files counted, the messages and the peak memory.
// Exit status: 0 when no message was shown, 3 when one was, 2 on bad usage.
// SIGTERM asks the window to close: the pass stops after the current file.

#include "cli/command_line.h"
#include "cli/console_convert.h"
#include "convert/convert_command.h"
#include "convert/convert_session.h"
#include "core/messages.h"
#include "imaging/dib_section.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

struct Options {
    grelm::FilePath folder;
    grelm::CommandLine line; ///< the thumbnail and deletion options, as the command line gives them
    bool captions = false;
    int yieldNumber = 0;
    QByteArray yieldCommand;
    QByteArray thumbnailPassCommand;
    bool stats = false;
    long killAfterUs = -1;
};

// The console's view of the Convert command, with this driver's hooks in place
// of its progress line: captions printed with their times, and commands run
// at chosen event turns.
class DriverView : public grelm::ConsoleConvertView {
public:
    explicit DriverView(const Options &options) : ConsoleConvertView(options.line, options.folder), m_options(options)
    {
        m_clock.start();
        setProgressCaption(QStringLiteral("start"));
    }

    void setProgressCaption(const QString &caption) override
    {
        // Both passes open with this caption; its second showing is the thumbnail pass's.
        if (caption.startsWith(QStringLiteral("Creating thumbnails")))
            ++m_passesStarted;
        if (!m_options.captions)
            return;
        std::printf("caption: %lld %s\n", m_clock.elapsed(), caption.toUtf8().constData());
        std::fflush(stdout);
    }
    void hideProgress() override {}

    void processEvents() override
    {
        ConsoleConvertView::processEvents();
        if (++m_turns == m_options.yieldNumber)
            run(m_options.yieldCommand);
        if (m_passesStarted == 2 && !m_thumbnailPassCommandRan) {
            m_thumbnailPassCommandRan = true;
            run(m_options.thumbnailPassCommand);
        }
    }

private:
    static void run(const QByteArray &command)
    {
        if (command.isEmpty())
            return;
        std::fflush(stdout);
        if (std::system(command.constData()) != 0)
            std::printf("note: a command run during the Convert failed\n");
    }

    const Options &m_options;
    int m_turns = 0;
    int m_passesStarted = 0;
    bool m_thumbnailPassCommandRan = false;
    QElapsedTimer m_clock;
};

class PrintingMessageSink : public grelm::MessageSink {
public:
    void show(const grelm::Message &m) override
    {
        const QString title = m.title.isEmpty() ? grelm::kApplicationTitle : m.title;
        std::printf("message: %s | %s\n", title.toUtf8().constData(), m.text.toUtf8().constData());
        if (!m.detail.isEmpty())
            std::printf("detail: %s\n", m.detail.toUtf8().constData());
        std::fflush(stdout);
        ++shown;
    }
    int shown = 0;
};

bool parse(int argc, char **argv, Options &o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--thumbs")
            o.line.thumbs = true;
        else if (a == "--delete")
            o.line.deleteSource = true;
        else if (a == "--captions")
            o.captions = true;
        else if (a == "--stats")
            o.stats = true;
        else if (a == "--kill-after" && i + 1 < argc)
            o.killAfterUs = std::atol(argv[++i]);
        else if (a == "--width" && i + 1 < argc)
            o.line.width = QString::fromLocal8Bit(argv[++i]);
        else if (a == "--at-yield" && i + 2 < argc) {
            o.yieldNumber = std::atoi(argv[++i]);
            o.yieldCommand = argv[++i];
        } else if (a == "--at-thumbnail-pass" && i + 1 < argc) {
            o.thumbnailPassCommand = argv[++i];
        } else if (!a.starts_with("--") && o.folder.isEmpty())
            o.folder = grelm::FilePath(QByteArray(argv[i]));
        else
            return false;
    }
    return !o.folder.isEmpty();
}

// The most resident memory the process has held, from the kernel's account.
long peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: grelm-headless-convert <folder> [--thumbs] [--delete] [--width N] "
                             "[--captions] [--at-yield N COMMAND] [--kill-after US] [--stats]\n");
        return 2;
    }
    std::signal(SIGTERM, [](int) { grelm::g_consoleStopRequested = 1; });

    // The view counts the screenshots, as the window does before Convert can be pressed.
    DriverView view(options);
    const int count = view.countText().toInt();
    PrintingMessageSink messages;
    grelm::cDIBSection buffer(messages);
    grelm::ConvertSession session(view, messages, buffer, grelm::ConvertThreading::fromEnvironment());
    if (options.killAfterUs >= 0)
        std::thread([us = options.killAfterUs] {
            std::this_thread::sleep_for(std::chrono::microseconds(us));
            ::kill(::getpid(), SIGKILL);
        }).detach();
    grelm::runConvertCommand(session);
    view.setProgressCaption(QStringLiteral("end"));

    if (options.stats)
        std::printf("stats: counted %d, messages %d, peak memory %ld KiB%s\n", count, messages.shown,
                    peakResidentKiB(), session.stopped ? ", stopped" : "");
    return messages.shown == 0 ? 0 : 3;
}
