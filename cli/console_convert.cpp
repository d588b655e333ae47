#include "cli/console_convert.h"

#include "cli/command_line.h"
#include "convert/convert_command.h"
#include "convert/convert_session.h"
#include "core/folder_listing.h"
#include "core/folder_names.h"
#include "core/user_messages.h"
#include "imaging/dib_section.h"
#include "settings/setting_store.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

namespace grelm {

volatile std::sig_atomic_t g_consoleStopRequested = 0;

namespace {

void requestStop(int)
{
    g_consoleStopRequested = 1;
}

bool endsCommand(const Message &m)
{
    return m == wrongPathMessage() || m == outOfMemoryMessage() || m == settingFileMissingMessage();
}

} // namespace

void catchStopSignals()
{
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
}

void ConsoleMessageSink::show(const Message &message)
{
    const QString title = message.title.isEmpty() ? kApplicationTitle : message.title;
    QString line = title + QStringLiteral(": ") + message.text;
    if (!message.detail.isEmpty())
        line += QStringLiteral(" (") + message.detail + u')';
    if (!quiet)
        std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    ++shown;
    commandEnded = commandEnded || endsCommand(message);
}

ConsoleConvertView::ConsoleConvertView(const CommandLine &line, FilePath folder)
    : m_line(line), m_folder(std::move(folder)), m_terminal(::isatty(STDOUT_FILENO) != 0)
{
    recount();
}

bool ConsoleConvertView::thumbsChecked() const { return m_line.thumbs; }
bool ConsoleConvertView::deleteSourceChecked() const { return m_line.deleteSource; }
QString ConsoleConvertView::thumbWidthText() const { return m_line.width; }

void ConsoleConvertView::recount()
{
    m_count = QString::number(FolderListing(m_folder, kScreenshotPattern).size());
}

void ConsoleConvertView::setProgressCaption(const QString &caption)
{
    m_caption = caption;
    if (m_terminal || !m_sincePrinted.isValid() || m_sincePrinted.elapsed() >= 1000)
        print(caption, false);
}

void ConsoleConvertView::hideProgress()
{
    print(m_caption, true);
}

void ConsoleConvertView::processEvents()
{
    QCoreApplication::processEvents();
}

void ConsoleConvertView::print(const QString &caption, bool final)
{
    const QByteArray text = caption.toUtf8();
    if (m_terminal)
        std::printf("\r%s\033[K%s", text.constData(), final ? "\n" : "");
    else if (caption != m_printed)
        std::printf("%s\n", text.constData());
    std::fflush(stdout);
    m_printed = caption;
    m_sincePrinted.start();
}

std::optional<FilePath> consoleGameFolder(const CommandLine &line, ConsoleMessageSink &messages)
{
    if (line.folder)
        return line.folder;
    std::optional<FilePath> stored = SettingStore(programSettingPlaces()).read();
    if (!stored)
        messages.show(settingFileMissingMessage());
    return stored;
}

ConsoleOutcome convertOnce(ConsoleConvertView &view, ConsoleMessageSink &messages, ConvertThreading threading,
                           const std::optional<QSet<FilePath>> &only,
                           const std::function<bool(const DeletionGroup::Pending &)> &holdDeletion)
{
    QElapsedTimer clock;
    clock.start();
    if (only)
        view.setCount(int(only->size()));
    else
        view.recount();
    cDIBSection buffer(messages);
    ConvertSession session(view, messages, buffer, threading);
    session.onlyScreenshots = only;
    session.holdDeletion = holdDeletion;
    runConvertCommand(session);
    ConsoleOutcome o;
    for (const ConvertSession::ScreenshotRecord &r : session.records) {
        ++o.listed;
        o.converted += r.jpeg.isEmpty() ? 0 : 1;
    }
    o.deleted = session.deletedScreenshots;
    o.records = session.records;
    std::printf("%s: converted %d of %d, failed %d, deleted %d, %.1f s\n", view.gameFolder().data(),
                o.converted, o.listed, o.listed - o.converted, o.deleted, clock.elapsed() / 1000.0);
    std::fflush(stdout);
    return o;
}

int consoleExitStatus(const ConsoleMessageSink &messages, bool allConverted)
{
    if (g_consoleStopRequested)
        return 130;
    if (messages.commandEnded)
        return 2;
    return messages.shown > 0 || !allConverted ? 1 : 0;
}

int runConsoleConvert(const CommandLine &line)
{
    ConsoleMessageSink messages;
    const std::optional<FilePath> folder = consoleGameFolder(line, messages);
    if (!folder)
        return 2;
    ConsoleConvertView view(line, *folder);
    const ConsoleOutcome o = convertOnce(view, messages, ConvertThreading::fromEnvironment(), std::nullopt);
    return consoleExitStatus(messages, o.converted == o.listed);
}

} // namespace grelm
