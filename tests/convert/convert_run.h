#pragma once

#include "convert/convert_command.h"
#include "convert/convert_session.h"
#include "core/messages.h"
#include "core/user_messages.h"
#include "imaging/dib_section.h"
#include "support/recording_convert_view.h"
#include "support/temp_folder.h"
#include "support/test_picture.h"

#include <QDir>
#include <QStringList>

#include <optional>

namespace grelm::test {

/// The paths that texts spell (valid UTF-8, a byte that is not as U+DC80 + byte).
inline QList<FilePath> pathsOf(const QStringList &texts)
{
    QList<FilePath> paths;
    for (const QString &text : texts)
        paths << FilePath::fromEscapedText(text);
    return paths;
}

/// A game folder in a sandbox with a recording window over it, ready to run a
/// folder pass or the whole Convert command. Each run starts a fresh session,
/// which stays for the checks until the next run.
struct ConvertRun {
    explicit ConvertRun(bool sequential = false, int workers = 2) : threading{sequential, workers, 2}
    {
        view.folder = dir.filePath();
    }

    /// One folder pass over the game folder.
    void pass(PassKind kind = kScreenshotPass) { ConvertFolder(dir.filePath(), kind, newSession()); }
    /// The Convert command, as the window's button runs it.
    void command() { runConvertCommand(newSession()); }

    /// Writes a screenshot file of testPicture(w, h, seed) into the game folder.
    QString screenshot(const QString &name, int w = 64, int h = 48, int seed = 1) const
    {
        return dir.write(name, screenshotFile(w, h, seed));
    }
    /// s0.bmp, s1.bmp... of different sizes, dated a second apart from a fixed
    /// time: the JPEGs carry their screenshot's time inside, so runs made at
    /// different moments compare byte for byte.
    void numberedScreenshots(int count) const
    {
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("s%1.bmp").arg(i);
            screenshot(name, 200 + i * 13, 150 - i * 5, i);
            dir.setModified(name, 1700000000 + i);
        }
    }
    /// The texts of the messages shown, in order.
    QStringList texts() const
    {
        QStringList result;
        for (const Message &m : messages.messages)
            result << m.text;
        return result;
    }
    /// Whether the command ended with the one wrong-path message.
    bool ended() const { return !messages.messages.empty() && messages.messages.back() == wrongPathMessage(); }

    TempFolder dir;
    RecordingConvertView view;
    RecordingMessageSink messages;
    cDIBSection buffer{messages}; // declared after messages, which it is made reporting to
    ConvertThreading threading;
    /// What the command's sessions take as the start of its staged files'
    /// leftovers; nothing: the command's own choice.
    std::optional<FileTime> stagingLeftoversBefore;
    std::optional<ConvertSession> session; ///< the last run's

private:
    ConvertSession &newSession()
    {
        session.reset();
        ConvertSession &s = session.emplace(view, messages, buffer, threading);
        s.stagingLeftoversBefore = stagingLeftoversBefore;
        return s;
    }
};

/// Files and folders of `folder`, hidden ones too, sorted by name.
inline QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace grelm::test
