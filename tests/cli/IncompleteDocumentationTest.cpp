// Documentation that is not complete says so: a damaged workbook's reader
// warnings reach the terminal and the closing page of the PDF, and the run
// ends with status 3; an option the run cannot honour ends it before any
// output.
#include "cli_support.h"
#include "support/Damage.h"
#include "support/TestSupport.h"
#include "xlswriter/XlsWriter.h"

#include <QDir>
#include <functional>
#include <random>
#include <gtest/gtest.h>

namespace tabulon::test::cli {
namespace {

struct Incomplete : CommandTest {
    QString to = dir.filePath("out");
    int document(const QStringList& args) { return run("document", args); }
};

// A sheet of numbers large enough that the streams fill ordinary sectors,
// a second sheet, and a module; `damage` changes the Workbook stream.
QString craftedBook(const QString& path, const std::function<void(QByteArray&)>& damage = {}) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& data = w.addSheet(QStringLiteral("Data"));
    for (int r = 0; r < 400; ++r) data.number(r, 0, r * 0.5).number(r, 1, r);
    w.addSheet(QStringLiteral("Summary")).text(0, 0, QStringLiteral("合計"));
    // Lines that compress poorly, so the module stream leaves the small-stream area.
    std::mt19937 random(20261207);
    QString code;
    for (int line = 0; line < 400; ++line)
        code += QStringLiteral("Const C%1 As Long = %2 ' %3\r\n").arg(line).arg(random()).arg(random(), 8, 36);
    w.addModule(QStringLiteral("Module1"), xlsw::XlsModule::Standard, code + QStringLiteral("Sub Go()\r\nEnd Sub\r\n"));
    if (damage) {
        QByteArray stream = w.workbookStream();
        damage(stream);
        w.setWorkbookStream("Workbook", stream);
    }
    EXPECT_TRUE(w.save(path));
    return path;
}

TEST_F(Incomplete, DamagedWorkbooksEndWithStatus3AndTheirWarningsOnTheTerminalAndTheClosingPage) {
    struct Case {
        const char* damage;
        std::function<void(const QString&)> make;
    };
    const Case cases[] = {
        {"a record length past the end of its record",
         [](const QString& path) {
             craftedBook(path, [](QByteArray& s) { overlongRecord(s, recordOffset(s, 0x0203, 50)); });  // a NUMBER
         }},
        {"two sectors of the Workbook stream swapped",
         [](const QString& path) {
             craftedBook(path, [](QByteArray& s) {
                 const QByteArray third = s.mid(3 * 512, 512);
                 s.replace(3 * 512, 512, s.mid(6 * 512, 512));
                 s.replace(6 * 512, 512, third);
             });
         }},
        {"a VBA module stream cut short", [](const QString& path) {
             craftedBook(path);
             ASSERT_TRUE(claimMore(path, QStringLiteral("Module1"), 5000));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.damage);
        const QString book = dir.filePath("damaged.xls"), out = dir.filePath(QString::fromLatin1(c.damage));
        c.make(book);
        EXPECT_EQ(document({book, "-o", out}), 3) << err.toStdString();
        EXPECT_TRUE(err.contains("読み込みの警告: ブックの一部が壊れていたため")) << err.toStdString();
        const QString all = pdfText(out + "/documentation.pdf");
        const qsizetype closing = all.lastIndexOf("読み込みの警告");
        ASSERT_GE(closing, 0) << "no closing page";
        EXPECT_TRUE(all.mid(closing).contains("読み飛ばした箇所があります"));
        // The warnings the terminal listed are on the page.
        const QString first = err.section("\n  ", 1, 1).section('\n', 0, 0).left(20);
        EXPECT_TRUE(all.mid(closing).simplified().contains(first.simplified())) << first.toStdString();
        EXPECT_EQ(QDir(out).entryList({"*_読み込みの警告.pdf"}, QDir::Files).size(), 1);
    }
    // The same workbook undamaged is documented completely.
    EXPECT_EQ(document({craftedBook(dir.filePath("sound.xls")), "-o", dir.filePath("sound")}), 0) << err.toStdString();
    EXPECT_FALSE(err.contains("読み込みの警告"));
}

TEST_F(Incomplete, OptionsTheRunCannotHonourEndItBeforeAnyOutput) {
    struct Case {
        QStringList args;
        const char* says;
    };
    const Case cases[] = {
        {{"--sheet", "無い"}, "シート「無い」はこのブックにありません。"},
        {{"--link", "5"}, "--link には 0 から 1 までの番号"},
        {{"--zoom", "abc"}, "--zoom には 10 から 400 までの整数"},
        {{"--zoom", "401"}, "--zoom には 10 から 400 までの整数"},
        {{"--module", "9"}, "--module には 1 から 6 までの整数"},
        {{"--object"}, "オプション --object の後に値を指定して下さい。"},
        {{"-b"}, "「-b」というオプションはありません。"},
        {{"--save", ""}, "--save には保存するファイル名"},
    };
    // An output folder that a file stands in the way of is refused before
    // the workbook is read.
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (const QString& folder : {dir.filePath("file"), dir.filePath("file/sub")}) {
        EXPECT_EQ(document({kSample, "-o", folder}), 2) << folder.toStdString();
        EXPECT_TRUE(err.contains("出力先のフォルダ「" + folder + "」を作成できません。")) << err.toStdString();
        EXPECT_TRUE(out.isEmpty()) << "the workbook was read first: " << out.toStdString();
    }
    for (const Case& c : cases) {
        const QString out = dir.filePath("refused");
        EXPECT_EQ(document(QStringList{kSample, "-o", out} + c.args), 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.says))) << err.toStdString();
        EXPECT_FALSE(QDir(out).exists()) << c.args.join(' ').toStdString();
    }
}

TEST_F(Incomplete, AWorkbookNamedLikeAnOptionIsGivenAfterTheOptionsEnd) {
    const QString book = dir.filePath("-book.xls");
    ASSERT_TRUE(QFile::copy(fixture("xls/poi/SimpleWithComments.xls"), book));
    QDir::setCurrent(dir.path());
    EXPECT_EQ(document({"-o", to, "--", "-book.xls"}), 0) << err.toStdString();
    EXPECT_TRUE(QFile::exists(to + "/documentation.pdf"));
    EXPECT_EQ(document({"-book.xls", "-o", to}), 2);
    EXPECT_TRUE(err.contains("「--」の後に指定して下さい")) << err.toStdString();
}

}  // namespace
}  // namespace tabulon::test::cli
