// Tabulon2.dat: where each value is taken from, how long it may be, and the
// file the 登録 button writes.
#include "intake/BasicInfo.h"

#include "common/Error.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon::intake;

namespace {

class DatFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Tabulon2.dat"));
    void put(const QString& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
};

// Where each value is taken from and how long it may be: title, company
// (Kisya), department (Bumon) and zoom.
TEST_F(DatFile, ReadingRules) {
    const std::pair<QString, BasicInfo> cases[] = {
        {QStringLiteral("Title=仕様書\r\nKisya=株式会社テスト  \r\nBumon=開発部\r\nZoom=75\r\n"),
         {QStringLiteral("仕様書"), QStringLiteral("株式会社テスト"), QStringLiteral("開発部"), QStringLiteral("75")}},
        {QStringLiteral("Title=") + QString(300, u'あ') + QStringLiteral("\r\n"), {QString(255, u'あ'), {}, {}, {}}},
        {QStringLiteral("Zoom=100\r\n"), {{}, {}, {}, QStringLiteral("10")}},
        // the key word may stand anywhere in a line and Title wins: the value
        // of "Title Co." starts 6 after the key word
        {QStringLiteral("Kisya=Title Co.\r\nBumon=x\r\n"), {QStringLiteral("Co."), {}, QStringLiteral("x"), {}}},
        {QStringLiteral("  Bumon=sales\r\n"), {{}, {}, QStringLiteral("sales"), {}}},
        // key words are case-sensitive, other lines skipped
        {QStringLiteral("title=lower\r\nnothing here\r\nZoom=5\r\n"), {{}, {}, {}, QStringLiteral("5")}},
    };
    for (const auto& [text, expected] : cases) {
        put(text);
        EXPECT_EQ(readBasicInfo(path), expected) << text.toStdString();
    }
}

TEST_F(DatFile, MissingFileIsError53) {
    try {
        readBasicInfo(dir.filePath(QStringLiteral("none.dat")));
        FAIL() << "no error for a missing file";
    } catch (const tabulon::Error& e) {
        EXPECT_EQ(e.number(), 53);
    }
}

TEST_F(DatFile, SaveWritesCrLfLinesInOrder) {
    writeBasicInfo(path, trimmedBasicInfo({QStringLiteral("  表紙 "), QStringLiteral("社"),
                                           QStringLiteral(" "), QStringLiteral("98 ")}));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()),
              QStringLiteral("Title=表紙\r\nKisya=社\r\nBumon=\r\nZoom=98\r\n"));
}

TEST_F(DatFile, LegacyCp932FileIsRead) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Title=\x83\x65\x83\x58\x83\x67\r\n");  // テスト
    f.close();
    EXPECT_EQ(readBasicInfo(path).title, QStringLiteral("テスト"));
}

}  // namespace
