// Hostile and damaged files: each must end in a clean tabulon::Error with a
// reason, or in a read that can be walked completely, never in a crash, a
// hang or a huge allocation; and what the user is told when a file cannot
// be read.
#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/Workbook.h"
#include "host/cfb/CompoundFile.h"
#include "host/vba/Project.h"
#include "host/xls/Loader.h"
#include "support/Damage.h"
#include "support/TestSupport.h"
#include "xlswriter/XlsWriter.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <random>

#include "xls_bytes.h"

using namespace tabulon;
using tabulon::host::ReadFailure;
using tabulon::host::Workbook;

namespace {

// Loads and walks what the analyses would ask for. A damaged DIMENSIONS can
// make a used range of a whole sheet (16 million cells); that is a correct
// read, so large ranges are only sampled to keep the sweep quick.
void loadAndWalk(const QString& path) {
    const Workbook wb = Workbook::load(path);
    for (int i = 1; i <= wb.sheetCount(); ++i) {
        const host::Range r = wb.sheet(i).usedRange();
        if (r.count() > 100000) {
            for (qint64 k : {qint64(0), r.count() / 2, r.count() - 1}) (void)r.cell(k).formula();
            continue;
        }
        r.forEach([](const host::Cell& c) {
            (void)c.formula();
            (void)c.noteText();
            (void)c.value();
            return true;
        });
    }
    for (int i = 1; i <= wb.nameCount(); ++i) {
        try {
            (void)wb.name(i).refersToRangeAddress();
        } catch (const Error&) {
        }
    }
    if (wb.sheetCount() > 0) (void)wb.sheet(1).pageSetup();  // damage may leave no sheet
}

}  // namespace

// Refused with the reader's number and, where given, a part of the text the user sees.
TEST(XlsRefused, CleanErrorWithReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"xls/calamine/OOM_alloc3.xls", "not an .xls workbook"},
        {"xls/poi/clusterfuzz-testcase-minimized-POIHSSFFuzzer-4651309315719168.xls", ""},
        {"xls/poi/clusterfuzz-testcase-minimized-POIHSSFFuzzer-5786329142919168.xls", ""},
    };
    for (const auto& [file, reason] : cases) {
        try {
            loadAndWalk(test::fixture(QString::fromUtf8(file)));
            ADD_FAILURE() << file << " should be refused";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), err::Refused) << file;
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(reason))) << e.description().toStdString();
        }
    }
}

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

class XlsSweep : public testing::TestWithParam<const char*> {};

// Cuts the Workbook stream at every record boundary and damages every
// record's length: a clean error or a model, whatever the cut.
TEST_P(XlsSweep, CutAtEveryRecordBoundary) {
    const QString path = test::fixture(QString::fromUtf8(GetParam()));
    const cfb::CompoundFile file(path);
    const QByteArray stream = *xls::workbookStream(file);  // read in place: file outlives it
    std::vector<qsizetype> boundaries;
    for (qsizetype at = 0; at + 4 <= stream.size();) {
        boundaries.push_back(at);
        at += 4 + (quint8(stream[at + 2]) | (quint8(stream[at + 3]) << 8));
    }
    ASSERT_GT(boundaries.size(), 20u);
    int read = 0;
    auto attempt = [&](const QByteArray& bytes) {
        try {
            const model::Book m = xls::readWorkbookStream(bytes, path);
            for (const model::Sheet& s : m.sheets) read += int(s.cells.size() > 0);
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), err::Refused);
        }
    };
    for (qsizetype at : boundaries) {
        attempt(stream.left(at));
        QByteArray longer = stream;
        longer[at + 2] = char(0xFF);  // the record claims more than it holds
        attempt(longer);
        QByteArray shorter = stream;
        shorter[at + 2] = char(quint8(shorter[at + 2]) / 2);
        shorter[at + 3] = 0;
        attempt(shorter);
    }
    EXPECT_GT(read, 0) << "cuts late in the stream still give the sheets before them";
}

// Cuts the whole file short at many lengths and flips bytes all over it;
// every variant must give a clean error or a complete walk.
TEST_P(XlsSweep, TruncationAndByteFlipsNeverCrash) {
    QFile good(test::fixture(QString::fromUtf8(GetParam())));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    const QByteArray original = good.readAll();
    QTemporaryDir dir;
    const QString path = dir.filePath("variant.xls");
    int read = 0;
    int refused = 0;
    auto attempt = [&](const QByteArray& bytes) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        try {
            loadAndWalk(path);
            ++read;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), err::Refused) << e.what();
            ++refused;
        }
    };
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
    }
    EXPECT_GT(refused, 0) << "a cut file is refused";
    EXPECT_GT(read, 0) << "most flipped bytes land in cell data and still read";
}

INSTANTIATE_TEST_SUITE_P(GoodWorkbooks, XlsSweep,
                         testing::Values("xls/poi/SimpleWithComments.xls", "xls/xlrd/namesdemo.xls",
                                         "xls/poi/multibookFormulaA.xls", "xls/poi/SharedFormulaTest.xls",
                                         "xls/poi/testEXCEL_95.xls", "xls/calamine/ptgexp-truncated-operand.xls"));

TEST(XlsCompoundFile, StreamViewHoldsTheSameBytesAsACopy) {
    const QString path = test::fixture(QStringLiteral("xls/xlrd/namesdemo.xls"));
    const cfb::CompoundFile file(path);
    const auto copy = file.rootStream(QStringLiteral("Workbook"));
    const auto view = file.rootStreamView(QStringLiteral("workbook"));
    ASSERT_TRUE(copy && view);
    EXPECT_GT(view->size(), 1000);
    EXPECT_EQ(*view, *copy);
    EXPECT_FALSE(file.rootStreamView(QStringLiteral("NoSuchStream")));
}

// A storage keeps the file's bytes alive: one taken from a compound file
// reads on after the file object is gone.
TEST(XlsCompoundFile, StorageOutlivesItsFile) {
    cfb::Storage code;
    {
        const cfb::CompoundFile file(test::fixture(QStringLiteral("xls/poi/SimpleMacro.xls")));
        code = file.root().storage(QStringLiteral("_VBA_PROJECT_CUR")).storage(QStringLiteral("VBA"));
    }
    ASSERT_FALSE(code.isNull());
    EXPECT_TRUE(code.hasStream(QStringLiteral("dir")));
    EXPECT_GT(code.stream(QStringLiteral("dir"), 1 << 20).size(), 100);
    EXPECT_THROW(code.stream(QStringLiteral("dir"), 10), Error) << "larger than the caller's limit";
    EXPECT_FALSE(code.findStream(QStringLiteral("NoSuchStream")));
    EXPECT_THROW(cfb::CompoundFile::fromBytes(QByteArray(512, 'x')), Error);
}

// Sheets whose offsets all point into one substream (nested BOFs) would make
// the reader go through the same bytes once per sheet. Past a budget of a
// few times the stream, the rest are left unread with a warning.
TEST(XlsMalformedStream, SheetsSharingOneSubstreamAreReadWithinABudget) {
    using namespace xls::testbytes;
    constexpr int kSheets = 12;
    auto globals = [](uint32_t firstSheet) {
        QByteArray g = record(xls::rt::Bof, Bytes().u16(0x0600).u16(0x0005).u32(0).u32(0).bytes());
        for (int i = 0; i < kSheets; ++i) {
            const QByteArray name = QByteArray("S") + QByteArray::number(i);
            g += record(xls::rt::BoundSheet8, Bytes()
                                                  .u32(firstSheet + uint32_t(i * sheetBof().size()))
                                                  .u8(0).u8(0).u8(int(name.size())).u8(0)
                                                  .raw(name).bytes());
        }
        return g + eof();
    };
    QByteArray substream;
    for (int i = 0; i < kSheets; ++i) substream += sheetBof();
    const QByteArray filler = record(0x1234, QByteArray(8000, 'x'));
    for (int i = 0; i < 40; ++i) substream += filler;
    for (int i = 0; i < kSheets; ++i) substream += eof();
    const QByteArray stream = globals(uint32_t(globals(0).size())) + substream;

    const model::Book book = xls::readWorkbookStream(stream, QStringLiteral("nested.xls"));
    ASSERT_EQ(book.sheets.size(), size_t(kSheets));
    const auto skipped = book.warnings.filter(QStringLiteral("not read: sheet offsets overlap"));
    EXPECT_GT(skipped.size(), 0) << qPrintable(book.warnings.join(QLatin1Char('\n')));
    EXPECT_LT(skipped.size(), kSheets - 1);  // the first sheets within the budget are read
}

// A compound-file directory entry that claims more bytes than the file
// holds: the stream is read as far as its sectors go, with a warning, for
// the Workbook stream and the VBA streams alike; what the file does hold
// reads as it would without the false claim.
namespace {

// A workbook whose Workbook stream and module stream are both large enough
// to lie in ordinary sectors (4096 bytes and more).
QString largeBook(const QTemporaryDir& dir, const QString& name) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& sheet = w.addSheet(QStringLiteral("Data"));
    for (int r = 0; r < 600; ++r) {
        xlsw::XlsCell c;
        c.row = r;
        c.number = r * 0.5;
        sheet.cells.push_back(c);
    }
    std::mt19937 random(20261206);
    QString code;
    for (int line = 0; line < 400; ++line)
        code += QStringLiteral("Const C%1 As Long = %2 ' %3\r\n").arg(line).arg(random()).arg(random(), 8, 36);
    w.addModule(QStringLiteral("Module1"), xlsw::XlsModule::Standard, code);
    const QString path = dir.filePath(name);
    EXPECT_TRUE(w.save(path));
    return path;
}

}  // namespace

TEST(OverlongDirectoryEntry, StreamsReadAsFarAsTheFileHoldsThem) {
    QTemporaryDir dir;
    const QString intact = largeBook(dir, QStringLiteral("intact.xls"));
    const QString claimed = largeBook(dir, QStringLiteral("claimed.xls"));
    ASSERT_TRUE(test::claimMore(claimed, QStringLiteral("Workbook"), 5000));
    ASSERT_TRUE(test::claimMore(claimed, QStringLiteral("Module1"), 5000));

    const host::Workbook book = host::Workbook::load(claimed);
    EXPECT_TRUE(book.warnings().join(u'\n').contains(QStringLiteral("Workbook stream is truncated")));
    const host::Range cells = book.sheet(1).usedRange();
    ASSERT_EQ(cells.count(), host::Workbook::load(intact).sheet(1).usedRange().count());
    EXPECT_EQ(cells.cell(cells.count() - 1).value().toDouble(), 299.5);

    const vba::Project project = vba::Project::load(claimed);
    ASSERT_EQ(project.components().size(), 1);
    EXPECT_EQ(project.components()[0].exportText, vba::Project::load(intact).components()[0].exportText);
    ASSERT_EQ(project.warnings().size(), 1);
    EXPECT_TRUE(project.warnings()[0].contains(QStringLiteral("Module1")));
}

// What the user is told when a file cannot be read: each kind of refusal,
// reached through the reader as a user's file would reach it, carries its
// own Japanese sentence after the file name, the error number the message
// box shows, and the reader's English detail after it.
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
