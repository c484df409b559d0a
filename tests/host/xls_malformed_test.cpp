// Hostile and damaged files: each must end in a clean tabulon::Error with a
// reason, or in a read that can be walked completely, never in a crash, a
// hang or a huge allocation.
#include "host/Error.h"
#include "host/Workbook.h"
#include "host/WorkbookJson.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon;
using tabulon::host::Workbook;

namespace {

// Loads and walks everything the analyses would ask for.
void loadAndWalk(const QString& path) {
    const Workbook wb = Workbook::load(path);
    (void)host::workbookJson(wb);
}

struct RefusedCase {
    const char* file;
    const char* reason;  // a part of the error text the user sees
};

class XlsRefused : public testing::TestWithParam<RefusedCase> {};

}  // namespace

TEST_P(XlsRefused, CleanErrorWithReason) {
    const RefusedCase& c = GetParam();
    try {
        loadAndWalk(test::fixture(QString::fromUtf8(c.file)));
        FAIL() << c.file << " should be refused";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::Refused);
        EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.reason))) << e.description().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, XlsRefused,
    testing::Values(RefusedCase{"xls/calamine/too_small.xls", "not an .xls workbook"},
                    RefusedCase{"xls/calamine/OOM_alloc3.xls", "not an .xls workbook"},
                    RefusedCase{"xls/oletools/encrypted.xls", "password-encrypted"},
                    RefusedCase{"xls/poi/testEXCEL_95.xls", "Excel 95"},
                    RefusedCase{"xls/calamine/ptgexp-truncated-operand.xls", "Excel 95"},
                    RefusedCase{"xls/poi/clusterfuzz-testcase-minimized-POIHSSFFuzzer-4651309315719168.xls", ""},
                    RefusedCase{"xls/poi/clusterfuzz-testcase-minimized-POIHSSFFuzzer-5786329142919168.xls", ""}));

// Damaged files that still hold a readable workbook.
TEST(XlsDamaged, ReadableDespiteDamage) {
    for (const char* f : {"xls/calamine/OOM_alloc.xls", "xls/xlrd/corrupted_error.xls", "xls/xlrd/invalid_formula.xls"}) {
        SCOPED_TRACE(f);
        EXPECT_NO_THROW(loadAndWalk(test::fixture(QString::fromUtf8(f))));
    }
    const Workbook wb = Workbook::load(test::fixture("xls/xlrd/invalid_formula.xls"));
    EXPECT_EQ(wb.sheet(1).usedRange().cell(0).value().toString(), "#REF!");
    EXPECT_TRUE(wb.sheet(1).usedRange().cell(0).isError());
}

TEST(XlsDamaged, MissingFileIsFileNotFound) {
    try {
        Workbook::load(QStringLiteral("/nonexistent/book.xls"));
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
}

TEST(XlsDamaged, TextFileIsNotAWorkbook) {
    QTemporaryDir dir;
    const QString path = dir.filePath("fake.xls");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Name,Value\nA,1\n");
    f.close();
    EXPECT_THROW(Workbook::load(path), Error);
}

// Cuts a good workbook short at many lengths and flips bytes all over it;
// every variant must give a clean error or a complete walk.
TEST(XlsSweep, TruncationAndByteFlipsNeverCrash) {
    QFile good(test::fixture("xls/poi/SimpleWithComments.xls"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray original = good.readAll();
    QTemporaryDir dir;
    const QString path = dir.filePath("variant.xls");
    auto attempt = [&](const QByteArray& bytes) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        try {
            loadAndWalk(path);
        } catch (const Error&) {
        }
    };
    int loaded = 0;
    for (qsizetype cut = 0; cut < original.size(); cut += 257) attempt(original.left(cut));
    QRandomGenerator rng(20261206);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = original;
        const int flips = 1 + int(rng.bounded(8));
        for (int i = 0; i < flips; ++i) {
            // Mostly the workbook stream after the header sector, where the records are.
            const qsizetype at = 512 + qsizetype(rng.bounded(quint32(bytes.size() - 512)));
            bytes[at] = char(rng.bounded(256));
        }
        attempt(bytes);
        ++loaded;
    }
    EXPECT_EQ(loaded, 300);
}
