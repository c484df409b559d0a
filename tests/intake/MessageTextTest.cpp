// The shared error box: both wordings and what the guard does after the box.
#include "intake/MessageText.h"

#include "common/Error.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <functional>
#include <new>
#include <stdexcept>

using namespace tabulon;
using namespace tabulon::intake;

namespace {

TEST(ErrorText, GenericFormNamesPlaceNumberAndDescription) {
    EXPECT_EQ(errorText(QStringLiteral("場所:起動時"), 53, QStringLiteral("ファイルが見つかりません。")),
              QStringLiteral("場所:起動時ｴﾗｰNo:53\r場所とｴﾗｰNoを控えメールをお願いします。\r"
                             "内容:ファイルが見つかりません。"));
}

TEST(ErrorText, UnstableRangeIsInclusive) {
    EXPECT_FALSE(isUnstable(2448));
    EXPECT_TRUE(isUnstable(2449));
    EXPECT_TRUE(isUnstable(2999));
    EXPECT_FALSE(isUnstable(3000));
}

TEST(ErrorText, UnstableFormTellsTheSystemWillEnd) {
    EXPECT_EQ(errorText(QStringLiteral("場所:表紙"), 2501, QStringLiteral("ignored")),
              QStringLiteral("場所:表紙ｴﾗｰNo:2501\rシステムが不安定です。\r"
                             "詳細はヘルプを参照下さい。\rシステムを終了します。"));
}

TEST(ErrorText, StyleChangesNumberLeadAndRequestLine) {
    ErrorStyle style;
    style.numberLead = QStringLiteral("　ｴﾗｰNo:");
    style.requestLine = QStringLiteral("場所、ｴﾗｰNo、内容を控えメールをお願いします。");
    EXPECT_EQ(errorText(QStringLiteral("場所:About"), 5, QStringLiteral("d"), style),
              QStringLiteral("場所:About　ｴﾗｰNo:5\r場所、ｴﾗｰNo、内容を控えメールをお願いします。\r内容:d"));
}

struct Recorder : MessagePort, ProgressPort {
    QStringList texts;
    QList<bool> busyCalls;
    Answer message(const QString& text, Buttons) override { texts << text; return Answer::Ok; }
    void status(const QString&) override {}
    void progress(int) override {}
    void showGauge(bool) override {}
    void busy(bool on) override { busyCalls << on; }
};

// Whatever escapes a command becomes one box: the error's own number and
// text with its detail, 7 for running out of memory, 51 for anything else.
// Busy always ends; only an unstable error runs the exit command, after its box.
TEST(RunGuarded, EveryFailureBecomesOneBoxWithItsNumber) {
    Recorder quiet;
    EXPECT_TRUE(runGuarded({quiet, quiet, [] { ADD_FAILURE() << "exit after success"; }}, QStringLiteral("場所:x"),
                           [] {}));
    EXPECT_TRUE(quiet.texts.isEmpty());

    struct Case {
        std::function<void()> body;
        const char16_t* head;
        const char16_t* content;
        QStringList exits;
    };
    const Case cases[] = {
        {[] { throw Error(1004, QStringLiteral("record data truncated"), ErrorDetail{0x0006, 12, {}, {}}); },
         u"場所:xｴﾗｰNo:1004\r", u"内容:record data truncated at offset 12 (record 0x0006)", {}},
        {[] { throw std::bad_alloc(); }, u"場所:xｴﾗｰNo:7\r", u"内容:メモリが不足しています。", {}},
        {[] { throw std::runtime_error("broken"); }, u"場所:xｴﾗｰNo:51\r", u"内容:broken", {}},
        {[] { throw Error(2450, QString()); }, u"場所:xｴﾗｰNo:2450\r", u"システムを終了します。", {"exit after 1 box"}},
    };
    for (const Case& c : cases) {
        Recorder r;
        QStringList exits;
        const auto exit = [&] { exits << QStringLiteral("exit after %1 box").arg(r.texts.size()); };
        EXPECT_FALSE(runGuarded({r, r, exit}, QStringLiteral("場所:x"), c.body));
        ASSERT_EQ(r.texts.size(), 1);
        EXPECT_TRUE(r.texts[0].startsWith(QString::fromUtf16(c.head))) << r.texts[0].toStdString();
        EXPECT_TRUE(r.texts[0].endsWith(QString::fromUtf16(c.content))) << r.texts[0].toStdString();
        EXPECT_TRUE(!r.busyCalls.isEmpty() && !r.busyCalls.last()) << r.texts[0].toStdString();
        EXPECT_EQ(exits, c.exits);
    }
}

}  // namespace
