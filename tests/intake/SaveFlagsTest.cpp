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
    void SetUp() override {
        store::Database::create(dir.filePath("Tabulon2.mdb"));
        db = store::Database::open(dir.filePath("Tabulon2.mdb"));
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
        writeSaveFlag(*db, f);
        db->commit();
        EXPECT_EQ(readSaveFlag(*db).value(), f) << "round " << round;
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

// Loading a mark enables the preview of its chapter only (and the cover's),
// selects the option the chapter was made with, and the sheet list for a cell
// list of a selected sheet.
TEST(PrintSetMark, EnablesThePreviewOfTheSavedChapterOnly) {
    const struct {
        Mark mark;
        int value;
        std::optional<Command> preview;  // usable afterwards, besides the cover
        void (*chosen)(Options&);        // the options chosen, from the defaults
    } cases[] = {
        {Mark::Object, 3, Command::PreviewObjects, [](Options& o) { o.object = ObjectOption::DetailedObjects; }},
        {Mark::Cell, 1, Command::PreviewCells,
         [](Options& o) { o.cell = CellOption::Formulas; o.sheets = SheetSelection::SelectedSheet; }},
        {Mark::Procedure, 1, Command::PreviewProcedures, [](Options& o) { o.procedures = ProcedureOption::Simple; }},
        {Mark::Source, 6, Command::PreviewSources, [](Options& o) { o.modules = ModuleSelection::All; }},
        {Mark::Shape, 2, Command::PreviewShapes, [](Options&) {}},
        {Mark::Variables, 1, Command::VariableLists, [](Options&) {}},
        {Mark::File, 3, Command::PreviewFiles, [](Options& o) { o.files = FileSelection::AllInFolder; }},
        {Mark::Comments, 1, Command::PreviewComments, [](Options&) {}},
        {Mark::Names, 1, Command::PreviewNames, [](Options&) {}},
        {Mark::Addins, 1, Command::PreviewAddins, [](Options&) {}},
        {Mark::ModuleSteps, 1, Command::PreviewModuleSteps, [](Options&) {}},
        {Mark::Citations, 1, Command::PreviewCitations, [](Options&) {}},
        {Mark::Object, 0, std::nullopt, [](Options&) {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mark " << int(c.mark) << " = " << c.value);
        Session session(AppPaths::forFolder(QStringLiteral("/t")));
        session.applyStartupStates();
        SaveFlag f;
        f.marks[size_t(c.mark)] = c.value;
        if (c.mark == Mark::Cell)
            f.marks[size_t(Mark::CellSheet)] = 2;  // selected sheet: its list becomes usable
        PrintSet(session, f);
        // The chapter commands and their previews: only the cover and the
        // saved chapter's preview are usable.
        for (int i = int(Command::Cover); i <= int(Command::PreviewCitations); ++i) {
            const Command command = Command(i);
            if (command == Command::SaveCoverDefaults) continue;
            EXPECT_EQ(session.isEnabled(command), command == Command::Cover || command == c.preview) << i;
        }
        Options expected;
        c.chosen(expected);
        EXPECT_EQ(session.options(), expected);
        EXPECT_EQ(session.mark(c.mark), c.value);
        EXPECT_EQ(session.isEnabled(Command::ChooseCellSheet), c.mark == Mark::Cell);
    }
}

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

TEST_F(SavedRow, EachHeaderChoiceWritesItsRow) {
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
        QStringList rows;
        for (const auto& r : db->query("SELECT FileName FROM T_XlTitle"))
            rows << r[0].toString();
        EXPECT_EQ(rows, c.rows) << c.mode;
    }
}

}  // namespace
