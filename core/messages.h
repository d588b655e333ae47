#pragma once

#include <QString>

#include <vector>

namespace grelm {

/// The title of a message box that has none of its own.
inline const QString kApplicationTitle = QStringLiteral("GRELM Screenshot Converter");

/// The icon of a message box; every box has a single OK button.
enum class MessageIcon { None, Question, Exclamation };

/// One modal message as the user sees it.
struct Message {
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;

    bool operator==(const Message &) const = default;
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
