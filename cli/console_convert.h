#pragma once

#include "core/convert_view.h"
#include "core/messages.h"

#include "convert/convert_session.h"

#include <QElapsedTimer>
#include <QSet>
#include <QString>

#include <csignal>
#include <functional>
#include <optional>

namespace grelm {

struct CommandLine;

/// Set by Ctrl-C or SIGTERM: the command stops after the current file.
extern volatile std::sig_atomic_t g_consoleStopRequested;

/// Lets Ctrl-C and SIGTERM ask the running command to stop.
void catchStopSignals();

/// Each message box becomes one line on standard error, "Title: text", with
/// its cause after it where the command keeps one.
class ConsoleMessageSink : public MessageSink {
public:
    void show(const Message &message) override;
    int shown = 0;
    bool quiet = false; ///< counts without printing: a retry would only say again what was said
    bool commandEnded = false; ///< a message that ends a command (wrong path, no memory, no setting file)
};

/// The Convert command's window on a terminal: the options come from the
/// command line; the progress caption is one line updated in place on a
/// terminal, or plain lines at most once a second otherwise.
class ConsoleConvertView : public ConvertView {
public:
    ConsoleConvertView(const CommandLine &line, FilePath folder);

    FilePath gameFolder() const override { return m_folder; }
    QString countText() const override { return m_count; }
    bool thumbsChecked() const override;
    bool deleteSourceChecked() const override;
    QString thumbWidthText() const override;
    void showProgress() override {}
    void setProgressCaption(const QString &caption) override;
    int progressBarWidth() const override { return 100; }
    void fillProgressBar(int) override {}
    void hideProgress() override;
    void processEvents() override;
    bool stopRequested() const override { return g_consoleStopRequested != 0; }

    /// Counts the folder's screenshots afresh, as the window's counter does.
    void recount();
    /// Sets the count shown in the progress caption (a batch of the watch).
    void setCount(int count) { m_count = QString::number(count); }

private:
    void print(const QString &caption, bool final);

    const CommandLine &m_line;
    FilePath m_folder;
    QString m_count = QStringLiteral("0");
    QString m_caption;
    QString m_printed;
    bool m_terminal = false;
    QElapsedTimer m_sincePrinted;
};

/// What one run of the Convert command did.
struct ConsoleOutcome {
    int listed = 0;
    int converted = 0;
    int deleted = 0;
    QHash<FilePath, ConvertSession::ScreenshotRecord> records; ///< by screenshot name
};

/// The command line's folder, else the stored game folder; nothing (with the
/// setting file's message shown) when there is neither.
std::optional<FilePath> consoleGameFolder(const CommandLine &line, ConsoleMessageSink &messages);

/// Runs the Convert command once through `view` (over only the screenshots
/// named in `only`, when given) and prints its summary line. `holdDeletion`,
/// when given, keeps the screenshots it is true for (ConvertSession).
ConsoleOutcome convertOnce(ConsoleConvertView &view, ConsoleMessageSink &messages, ConvertThreading threading,
                           const std::optional<QSet<FilePath>> &only,
                           const std::function<bool(const DeletionGroup::Pending &)> &holdDeletion = {});

/// The exit status for what was shown and converted: 0 all converted, 1 some
/// failed, 2 a wrong folder, 130 stopped.
int consoleExitStatus(const ConsoleMessageSink &messages, bool allConverted);

/// Runs one Convert command over the command line's folder (the stored game
/// folder when none is given), prints a summary line, and returns the exit
/// status: 0 all converted, 1 some failed, 2 wrong folder, 130 stopped.
int runConsoleConvert(const CommandLine &line);

} // namespace grelm
