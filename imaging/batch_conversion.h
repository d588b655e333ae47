#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace grelm {

class ConvertView;
class MessageSink;
class cDIBSection;

/// How a Convert command spreads its work: on `workers` threads that prepare
/// files ahead of the window's thread, or, in the sequential mode, each file
/// loaded, encoded and written in turn on the window's thread alone.
struct ConvertThreading {
    bool sequential = false;
    int workers = 1;        ///< 0 counts as 1
    int lookAheadPerWorker = 2;

    /// As many workers as the machine has cores, or the number in GRELM_WORKERS.
    static ConvertThreading fromEnvironment();
};

/// What one Convert command carries from step to step: the window it drives,
/// where its messages go, the window's pixel buffer, and what it has written.
struct ConvertSession {
    ConvertSession(ConvertView &v, MessageSink &m, cDIBSection &buffer, ConvertThreading t)
        : view(v), messages(m), inlineBuffer(buffer), threading(t) {}

    ConvertView &view;
    MessageSink &messages;
    cDIBSection &inlineBuffer; ///< the buffer of the sequential mode
    ConvertThreading threading;

    /// The screenshot pass's folder and listing, and for each screenshot whose
    /// JPEG was written in this command, that JPEG's path.
    QString screenshotFolder;
    QStringList screenshots;
    QHash<QString, QString> writtenJpegs;

    bool stopped = false; ///< the window was closed: the command ends quietly
};

} // namespace grelm
