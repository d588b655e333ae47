#pragma once

#include <QLabel>
#include <QUrl>

#include <functional>

namespace grelm {

/// Opens an address with the desktop's default handler; tests record instead.
using UrlOpener = std::function<void(const QUrl &)>;

/// A label that behaves as a hyperlink: white at rest, blue under the pointer,
/// never underlined; a click turns it white and opens exactly its text.
class WebLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit WebLinkLabel(const QString &text = QString(), QWidget *parent = nullptr);

    /// Replaces what opens the address (QDesktopServices::openUrl by default).
    void setUrlOpener(UrlOpener opener) { m_opener = std::move(opener); }

    static QColor restColour() { return QColor(255, 255, 255); }
    static QColor hoverColour() { return QColor(0, 0, 255); }

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setTextColour(const QColor &colour);
    void clearUnderline();

    UrlOpener m_opener;
    bool m_pressed = false;
};

} // namespace grelm
