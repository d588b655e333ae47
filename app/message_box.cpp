#include "app/message_box.h"

#include <QMessageBox>

namespace grelm {

Q_LOGGING_CATEGORY(lcMessages, "grelm.messages", QtInfoMsg)

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void MessageBoxSink::show(const Message &message)
{
    const QString title = message.title.isEmpty() ? kApplicationTitle : message.title;
    qCDebug(lcMessages) << title << message.text << message.detail;
    QMessageBox box(boxIcon(message.icon), title, message.text, QMessageBox::Ok, m_parent);
    box.exec();
}

} // namespace grelm
