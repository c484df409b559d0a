// The saved marks and texts of a results file, and the report-header choice:
// what is written comes back exactly, and loading restores the window state
// the saved chapters need.
#include "intake/PrintHeader.h"
#include "intake/SaveFlags.h"
#include "common/Error.h"
#include "store/Database.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace tabulon;
using namespace tabulon::intake;

namespace {

class SavedRow : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<store::Database> db;
    Session session{AppPaths::forFolder(dir.path())};
    void SetUp() override {
        store::Database::create(dir.filePath("Tabulon2.mdb"));
        db = store::Database::open(dir.filePath("Tabulon2.mdb"));
        session.applyStartupStates();
    }
    SaveFlag roundTrip(const SaveFlag& f) {
        writeSaveFlag(*db, f);
        db->commit();
        return readSaveFlag(*db).value();
    }
    int errorOf(const char* update) {
        writeSaveFlag(*db, SaveFlag{});
        db->execute(QString::fromLatin1(update));
        try {
            readSaveFlag(*db);
        } catch (const Error& e) {
            return e.number();
        }
        return 0;
    }
};

TEST_F(SavedRow, EveryMarkAndTextComesBackExactly) {
    const QString texts[] = {
        "", "   ", " 前後に空白 ", QString(30000, QChar(u'表')),
        "ﾓｼﾞｭｰﾙ\t情報", QString::fromUtf8("\xF0\x9F\x93\x8A 𠮷野家 e\xCC\x81"),
    };
    const int highest[kMarkCount] = {3, 3, 2, 6, 3, 3, 2, 1, 1, 1, 1, 1, 1};
    std::mt19937 random(20261206);
    for (int round = 0; round < 40; ++round) {
        SaveFlag f;
        f.objName = texts[round % 6].left(200) + QStringLiteral(".xls");
        for (int m = 0; m < kMarkCount; ++m)
            f.marks[size_t(m)] = int(random() % (highest[m] + 1));
        if (f.marks[size_t(Mark::Cell)] != 0 && f.marks[size_t(Mark::CellSheet)] == 0)
            f.marks[size_t(Mark::CellSheet)] = 1;
        f.mSs = 1 + int(random() % 2);
        QString* fields[] = {&f.title, &f.system, &f.company, &f.bumon, &f.auther, &f.createDate};
        for (int i = 0; i < 6; ++i)
            *fields[i] = texts[(round + i) % 6];
        EXPECT_EQ(roundTrip(f), f) << "round " << round;
    }
}

TEST_F(SavedRow, EmptyTableGivesNothingAndBadValuesAreRefused) {
    EXPECT_FALSE(readSaveFlag(*db).has_value());
    EXPECT_EQ(errorOf("UPDATE T_XlSaveFlag SET fObj = 4"), 3343);
    EXPECT_EQ(errorOf("UPDATE T_XlSaveFlag SET fCrs = -1"), 3343);
    EXPECT_EQ(errorOf("UPDATE T_XlSaveFlag SET mSs = 3"), 3343);
    EXPECT_EQ(errorOf("UPDATE T_XlSaveFlag SET fCel = 2, mCs = 0"), 3343);
    EXPECT_EQ(errorOf("UPDATE T_XlSaveFlag SET fSoc = 'x'"), 3343);
    EXPECT_EQ(errorOf("ALTER TABLE T_XlSaveFlag DROP COLUMN fNam"), 3265);  // a field missing
}

struct PrintSetCase {
    Mark mark;
    int value;
    const char* enabled;                  // preview buttons usable afterwards
    OptionGroup group;                    // the option it selects ...
    int selected;                         // ... at this index (-1: none)
};

class PrintSetMark : public SavedRow, public ::testing::WithParamInterface<PrintSetCase> {};

TEST_P(PrintSetMark, EnablesThePreviewOfTheSavedChapterOnly) {
    const PrintSetCase c = GetParam();
    SaveFlag f;
    f.marks[size_t(c.mark)] = c.value;
    if (c.mark == Mark::Cell)
        f.marks[size_t(Mark::CellSheet)] = 2;  // selected sheet: its list becomes usable
    const int before = session.selectedOption(c.group);
    PrintSet(session, f);
    const QStringList on = QString::fromLatin1(c.enabled).split(' ', Qt::SkipEmptyParts) +
                           QStringList{"cmdHyousi_0", "cmdHyousi_1", "cmdHyousi_2"};
    for (const QString& name : Session::controlNames()) {
        if (!name.startsWith("cmd") || name == "cmdSave")
            continue;
        EXPECT_EQ(session.isEnabled(name), on.contains(name)) << name.toStdString();
    }
    EXPECT_EQ(session.selectedOption(c.group), c.selected < 0 ? before : c.selected);
    EXPECT_EQ(session.mark(c.mark), c.value);
    EXPECT_EQ(session.isEnabled("cboSheet2"), c.mark == Mark::Cell);
}

INSTANTIATE_TEST_SUITE_P(
    Marks, PrintSetMark,
    ::testing::Values(
        PrintSetCase{Mark::Object, 3, "cmdOPre", OptionGroup::Object, 2},
        PrintSetCase{Mark::Cell, 1, "cmdCPre", OptionGroup::Cell, 0},
        PrintSetCase{Mark::Procedure, 1, "cmdPPre", OptionGroup::Proc, 0},
        PrintSetCase{Mark::Source, 6, "cmdMPre", OptionGroup::Module, 5},
        PrintSetCase{Mark::Shape, 2, "cmdSPre", OptionGroup::Shape, -1},
        PrintSetCase{Mark::Variables, 1, "cmdHensuU cmdHensuT cmdHensuH", OptionGroup::Object, -1},
        PrintSetCase{Mark::File, 3, "cmdFPre", OptionGroup::File, 2},
        PrintSetCase{Mark::Comments, 1, "cmdCOPre", OptionGroup::Object, -1},
        PrintSetCase{Mark::Names, 1, "cmdNPre", OptionGroup::Object, -1},
        PrintSetCase{Mark::Addins, 1, "cmdADPre", OptionGroup::Object, -1},
        PrintSetCase{Mark::ModuleSteps, 1, "cmdMSPre", OptionGroup::Object, -1},
        PrintSetCase{Mark::Citations, 1, "cmdISPre", OptionGroup::Object, -1},
        PrintSetCase{Mark::Object, 0, "", OptionGroup::Object, -1}));

TEST(MarkTables, MarksOfTablesAnOlderFileLackedAreCleared) {
    SaveFlag f;
    f.marks.fill(1);
    clearMarksOfTables(f, {"T_XlCalc", "T_XlLinkModule"});
    for (int m = 0; m < kMarkCount; ++m) {
        const bool cleared = Mark(m) == Mark::Cell || Mark(m) == Mark::CellSheet ||
                             Mark(m) == Mark::Citations;
        EXPECT_EQ(f.marks[size_t(m)], cleared ? 0 : 1) << m;
    }
}

// --- the report-header choice of the set-up dialog

class HeaderChoice : public SavedRow {
protected:
    QStringList header() {
        QStringList rows;
        for (const auto& r : db->query("SELECT FileName FROM T_XlTitle"))
            rows << r[0].toString();
        return rows;
    }
};

TEST_F(HeaderChoice, EachChoiceWritesItsRow) {
    const QString book = "/srv/帳票/受注.xls";
    struct Case { PrintHeaderState flags; const char* mode; QStringList rows; };
    const Case cases[] = {
        {{1, 1, 0, {}}, "ファイル名フルパス印刷", {book}},
        {{1, 0, 0, {}}, "ファイル名印刷", {"受注.xls"}},
        {{0, 0, 1, {}}, "任意の文字列を印刷", {"社外秘"}},
        {{0, 1, 0, {}}, "印刷しない", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(applyPrintHeader(*db, c.flags, book, "社外秘"), c.mode);
        EXPECT_EQ(header(), c.rows) << c.mode;
    }
}

}  // namespace
