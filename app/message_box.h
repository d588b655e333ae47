#pragma once

#include "core/messages.h"

class QWidget;

namespace grelm {

/// Shows each message as a modal QMessageBox with a single OK button.
class MessageBoxSink : public MessageSink {
public:
    /// `parent` centres the boxes over a window; null centres them on the screen.
    explicit MessageBoxSink(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    void show(const Message &message) override;

private:
    QWidget *m_parent;
};

} // namespace grelm
