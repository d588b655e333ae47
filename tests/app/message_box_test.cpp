#include "app/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace grelm {
namespace {

struct SeenBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Shows one message through the real box and closes it from the event loop.
SeenBox showAndClose(const Message &message)
{
    SeenBox seen;
    QTimer::singleShot(0, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->text(), box->windowTitle(), box->icon(), box->standardButtons()};
        box->button(QMessageBox::Ok)->click();
    });
    MessageBoxSink sink;
    sink.show(message);
    return seen;
}

TEST(MessageBoxSinkTest, ShowsAModalBoxWithOkOnly)
{
    const struct {
        MessageIcon icon;
        QMessageBox::Icon boxIcon;
    } rows[] = {{MessageIcon::None, QMessageBox::NoIcon},
                {MessageIcon::Question, QMessageBox::Question},
                {MessageIcon::Exclamation, QMessageBox::Warning}};
    for (const auto &row : rows) {
        const SeenBox seen = showAndClose({QStringLiteral("Body"), QStringLiteral("Title!"), row.icon, {}});
        EXPECT_EQ(seen.text, QStringLiteral("Body"));
        EXPECT_EQ(seen.title, QStringLiteral("Title!"));
        EXPECT_EQ(seen.icon, row.boxIcon);
        EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

TEST(MessageBoxSinkTest, BoxWithoutTitleCarriesTheProgramName)
{
    EXPECT_EQ(showAndClose({QStringLiteral("Body"), QString(), MessageIcon::None, {}}).title, kApplicationTitle);
}

} // namespace
} // namespace grelm
