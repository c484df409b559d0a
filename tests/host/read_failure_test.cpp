// What the user is told when a file cannot be read: each kind of refusal,
// reached through the reader as a user's file would reach it, carries its
// own Japanese sentence after the file name, the error number the message
// box shows, and the reader's English detail after it.
#include "host/ReadFailure.h"
#include "host/Workbook.h"
#include "host/vba/Project.h"
#include "host/xls/Loader.h"
#include "support/TestSupport.h"
#include "xlswriter/XlsWriter.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace tabulon;
using host::ReadFailure;

namespace {

struct FailureCase {
    const char* what;
    std::function<void(const QTemporaryDir&)> read;
    ReadFailure kind;
    int number;
    const char* fileName;  // the name the description starts with
};

void load(const QString& path, std::optional<QString> password = std::nullopt) {
    host::Workbook::load(path, [password](int) { return password; });
}

// A workbook stream that ends right after its first BOF.
void truncatedGlobals(const QTemporaryDir&) {
    xlsw::XlsWriter w;
    w.addSheet(QStringLiteral("Sheet1"));
    const QByteArray stream = w.workbookStream();
    xls::readWorkbookStream(stream.left(4 + (uint8_t(stream[2]) | (uint8_t(stream[3]) << 8))), QStringLiteral("cut.xls"));
}

const FailureCase kCases[] = {
    {"no file at the path", [](const QTemporaryDir& d) { load(d.filePath("none.xls")); }, ReadFailure::FileMissing,
     53, "none.xls"},
    {"a text file named .xls",
     [](const QTemporaryDir& d) {
         QFile f(d.filePath("fake.xls"));
         f.open(QIODevice::WriteOnly);
         f.write("Name,Value\nA,1\n");
         f.close();
         load(d.filePath("fake.xls"));
     },
     ReadFailure::NotWorkbook, 1004, "fake.xls"},
    {"a compound file cut short", [](const QTemporaryDir&) { load(test::fixture("xls/calamine/too_small.xls")); },
     ReadFailure::NotWorkbook, 1004, "too_small.xls"},
    {"globals without their end", truncatedGlobals, ReadFailure::Damaged, 1004, "cut.xls"},
    {"encrypted, no password", [](const QTemporaryDir&) { load(test::fixture("xls/oletools/encrypted.xls")); },
     ReadFailure::PasswordNeeded, 1004, "encrypted.xls"},
    {"encrypted, wrong password",
     [](const QTemporaryDir&) { load(test::fixture("xls/oletools/encrypted.xls"), QStringLiteral("nope")); },
     ReadFailure::PasswordWrong, 1004, "encrypted.xls"},
    {"project locked for viewing",
     [](const QTemporaryDir& d) { vba::Project::load(test::fixture("xls/poi/31749.xls")).exportAll(d.path()); },
     ReadFailure::ProjectProtected, 50289, "31749.xls"},
};

}  // namespace

TEST(ReadFailures, EachKindReachesTheUserInJapanese) {
    QSet<QString> sentences;
    QSet<int> kinds;
    for (const FailureCase& c : kCases) {
        kinds.insert(int(c.kind));
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        try {
            c.read(dir);
            ADD_FAILURE() << "read without complaint";
        } catch (const host::ReadError& e) {
            EXPECT_EQ(e.kind(), c.kind);
            EXPECT_EQ(e.number(), c.number);
            const QString sentence = host::readFailureText(c.kind);
            EXPECT_TRUE(e.description().startsWith(QStringLiteral("'%1': %2").arg(QString::fromUtf8(c.fileName), sentence)))
                << e.description().toStdString();
            sentences.insert(sentence);
        }
    }
    EXPECT_EQ(sentences.size(), kinds.size()) << "every kind says something of its own";
    for (const QString& s : sentences)
        EXPECT_TRUE(std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() >= 0x3000; })) << s.toStdString();
}

TEST(ReadFailures, DamageKeepsTheReasonAndThePlaceAfterTheSentence) {
    try {
        host::asReadFailure(ReadFailure::Damaged, QStringLiteral("/books/x.xls"), [] {
            throw Error(err::Refused, QStringLiteral("record data truncated"), ErrorDetail{0x0006, 12, {}, {}});
        });
        FAIL();
    } catch (const host::ReadError& e) {
        EXPECT_EQ(e.kind(), ReadFailure::Damaged);
        EXPECT_EQ(e.text(), QStringLiteral("'x.xls': %1 詳細: record data truncated at offset 12 (record 0x0006)")
                                .arg(host::readFailureText(ReadFailure::Damaged)));
    }
}

// The object model's refusals keep the number the analyses test for.
TEST(HostRefusals, KeepTheirNumberWithAJapaneseMessage) {
    try {
        host::raiseHostError(err::SubscriptOutOfRange, QStringLiteral("Subscript out of range: 7"));
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::SubscriptOutOfRange);
        EXPECT_GE(e.description().front().unicode(), 0x3000) << e.description().toStdString();
        EXPECT_TRUE(e.description().endsWith(QStringLiteral(" 詳細: Subscript out of range: 7")));
    }
}
