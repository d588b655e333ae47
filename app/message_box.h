#pragma once

#include "core/messages.h"

#include <QLoggingCategory>

class QWidget;

namespace grelm {

/// Every message the boxes show, with its detail, at debug level; silent
/// unless enabled (QT_LOGGING_RULES="grelm.messages.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcMessages)

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
