#pragma once

#include <QString>

#include <vector>

namespace grelm {

/// The title of a message box that has none of its own.
inline const QString kApplicationTitle = QStringLiteral("GRELM Screenshot Converter");

/// The icon of a message box; every box has a single OK button.
enum class MessageIcon { None, Question, Exclamation };

/// One modal message as the user sees it, and why it was shown.
struct Message {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    /// The cause in the words of the code that failed (a file system error, the
    /// JPEG library's text, the bitmap reader's reason). The box does not show
    /// it; tests, the fault driver and the "grelm.messages" debug log do.
    QString detail;

    /// The same box: what the user sees is equal, whatever the detail says.
    bool operator==(const Message &o) const { return text == o.text && title == o.title && icon == o.icon; }
};

/// Shows a modal message box and returns when the user has closed it.
/// The application installs the real box; tests and worker threads record.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const Message &message) = 0;
};

/// Keeps every message instead of showing it, in the order given.
class RecordingMessageSink : public MessageSink {
public:
    void show(const Message &message) override { messages.push_back(message); }
    /// Hands every recorded message on to `target` in order, then forgets them.
    void replayTo(MessageSink &target)
    {
        for (const Message &m : messages)
            target.show(m);
        messages.clear();
    }

    std::vector<Message> messages;
};

} // namespace grelm
