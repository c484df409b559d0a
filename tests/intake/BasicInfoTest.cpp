// Tabulon2.dat: where each value is taken from, how long it may be, and the
// file the 登録 button writes.
#include "intake/BasicInfo.h"

#include "host/Error.h"

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

TEST_F(DatFile, ReadsTheFourValues) {
    put(QStringLiteral("Title=仕様書\r\nKisya=株式会社テスト  \r\nBumon=開発部\r\nZoom=75\r\n"));
    EXPECT_EQ(readBasicInfo(path),
              (BasicInfo{QStringLiteral("仕様書"), QStringLiteral("株式会社テスト"),
                         QStringLiteral("開発部"), QStringLiteral("75")}));
}

TEST_F(DatFile, FreshInstallFileHasEmptyValues) {
    writeBasicInfo(path, BasicInfo{});
    EXPECT_EQ(readBasicInfo(path), BasicInfo{});
}

TEST_F(DatFile, LongTitleKeepsOnly255Characters) {
    put(QStringLiteral("Title=") + QString(300, u'あ') + QStringLiteral("\r\n"));
    EXPECT_EQ(readBasicInfo(path).title, QString(255, u'あ'));
}

TEST_F(DatFile, ZoomKeepsTwoCharacters) {
    put(QStringLiteral("Zoom=100\r\n"));
    EXPECT_EQ(readBasicInfo(path).zoom, "10");
}

TEST_F(DatFile, KeyWordAnywhereInTheLineAndTitleWins) {
    put(QStringLiteral("Kisya=Title Co.\r\nBumon=x\r\n"));
    const BasicInfo info = readBasicInfo(path);
    // "Title Co." starts at the key word Title; its value starts 6 later.
    EXPECT_EQ(info.title, "Co.");
    EXPECT_EQ(info.company, "");
    EXPECT_EQ(info.bumon, "x");
}

TEST_F(DatFile, ValueIsTakenRelativeToTheKeyWord) {
    put(QStringLiteral("  Bumon=sales\r\n"));
    EXPECT_EQ(readBasicInfo(path).bumon, "sales");
}

TEST_F(DatFile, KeyWordsAreCaseSensitiveAndOtherLinesSkipped) {
    put(QStringLiteral("title=lower\r\nnothing here\r\nZoom=5\r\n"));
    const BasicInfo info = readBasicInfo(path);
    EXPECT_EQ(info.title, "");
    EXPECT_EQ(info.zoom, "5");
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
