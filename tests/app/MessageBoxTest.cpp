// The window's message boxes: title, line breaks and the answer. The box is
// answered from a timer, as a user would click it.
#include "app/WindowPorts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tabulon;

namespace {

struct SeenBox {
    QString title, text;
    int buttons = 0;
};

// Clicks `button` of the next modal message box and records what it showed.
void answerNextBox(SeenBox& seen, QMessageBox::StandardButton button) {
    QTimer::singleShot(0, [&seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QApplication::exit(1);
            return;
        }
        seen = {box->windowTitle(), box->text(), int(box->standardButtons())};
        box->button(button)->click();
    });
}

TEST(BoxMessages, TitleLineBreaksButtonsAndAnswer) {
    SeenBox seen;
    answerNextBox(seen, QMessageBox::Ok);
    const Answer answer = app::BoxMessages(nullptr).message(
        QStringLiteral("場所:起動時ｴﾗｰNo:53\r場所とｴﾗｰNoを控えメールをお願いします。"), Buttons::Ok);
    EXPECT_EQ(answer, Answer::Ok);
    EXPECT_EQ(seen.title, QStringLiteral("Tabulon2000 Ver 1.1"));
    EXPECT_EQ(seen.text, QStringLiteral("場所:起動時ｴﾗｰNo:53\n場所とｴﾗｰNoを控えメールをお願いします。"));
    EXPECT_EQ(seen.buttons, int(QMessageBox::Ok));

    answerNextBox(seen, QMessageBox::Cancel);
    EXPECT_EQ(app::BoxMessages(nullptr).message(QStringLiteral("終了します。"), Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(seen.buttons, int(QMessageBox::Ok | QMessageBox::Cancel));
}

}  // namespace
