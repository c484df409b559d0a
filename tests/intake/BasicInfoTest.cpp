// Tabulon2.dat: where each value is taken from and how long it may be (the
// window's 登録 test checks the file it writes).
#include "intake/BasicInfo.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon::intake;

namespace {

class DatFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Tabulon2.dat"));
    void put(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

// Where each value is taken from and how long it may be: title, company
// (Kisya), department (Bumon) and zoom.
TEST_F(DatFile, ReadingRules) {
    const std::pair<QByteArray, BasicInfo> cases[] = {
        {"Title=仕様書\r\nKisya=株式会社テスト  \r\nBumon=開発部\r\nZoom=75\r\n",
         {QStringLiteral("仕様書"), QStringLiteral("株式会社テスト"), QStringLiteral("開発部"), QStringLiteral("75")}},
        {"Title=" + QString(300, u'あ').toUtf8() + "\r\n", {QString(255, u'あ'), {}, {}, {}}},
        {"Zoom=100\r\n", {{}, {}, {}, QStringLiteral("100")}},  // the whole number, not its first two digits
        {"Zoom=４００ \r\n", {{}, {}, {}, QStringLiteral("４００")}},  // as typed; read as 400 by the sheet print
        // the key word may stand anywhere in a line and Title wins: the value
        // of "Title Co." starts 6 after the key word
        {"Kisya=Title Co.\r\nBumon=x\r\n", {QStringLiteral("Co."), {}, QStringLiteral("x"), {}}},
        {"  Bumon=sales\r\n", {{}, {}, QStringLiteral("sales"), {}}},
        // key words are case-sensitive, other lines skipped
        {"title=lower\r\nnothing here\r\nZoom=5\r\n", {{}, {}, {}, QStringLiteral("5")}},
        {"Title=\x83\x65\x83\x58\x83\x67\r\n", {QStringLiteral("テスト"), {}, {}, {}}},  // a legacy CP932 file
    };
    for (const auto& [text, expected] : cases) {
        put(text);
        EXPECT_EQ(readBasicInfo(path), expected) << text.toStdString();
    }
}

}  // namespace
