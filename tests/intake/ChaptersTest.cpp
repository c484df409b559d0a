// Which stored report a chapter prints under the options: the one table both
// a chapter's command and its preview read.
#include "intake/Chapters.h"

#include "store/Database.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon::intake;

namespace {

struct ReportCase {
    Chapter chapter;
    void (*options)(Options&);
    const char* report;  // nullptr: the chapter prints no stored report
};

TEST(ReportTable, OptionsChooseTheReportOfAChapter) {
    const ReportCase cases[] = {
        {Chapter::Cover, [](Options&) {}, "R_XlHyousi"},
        {Chapter::SpineLabel, [](Options&) {}, "R_XlHyousiH"},
        {Chapter::FrontLabel, [](Options&) {}, "R_XlHyousiW"},
        {Chapter::Objects, [](Options& o) { o.object = ObjectOption::Book; }, "R_XlBook"},
        {Chapter::Objects, [](Options& o) { o.object = ObjectOption::SimpleObjects; }, "R_XlObject"},
        {Chapter::Objects, [](Options& o) { o.object = ObjectOption::DetailedObjects; }, "R_XlObject"},
        {Chapter::Cells, [](Options& o) { o.cell = CellOption::Formulas; }, "R_XlCalc"},
        {Chapter::Cells, [](Options& o) { o.cell = CellOption::Comments; }, "R_XlCalcNote"},
        {Chapter::Cells, [](Options& o) { o.cell = CellOption::Both; }, "R_XlCalcNote"},
        {Chapter::Procedures, [](Options& o) { o.procedureKana = true; }, "R_ModuleList50"},
        // The source list's kana order does not order the procedure list.
        {Chapter::Procedures, [](Options& o) { o.sourceKana = true; }, "R_ModuleList"},
        {Chapter::Sources, [](Options& o) { o.procedureKana = true; }, "R_SourceList"},
        {Chapter::Sources, [](Options& o) { o.sourceKana = true; }, "R_SourceList50"},
        {Chapter::Sources, [](Options& o) { o.columns = SourceColumns::One; }, "R_SourceList1"},
        {Chapter::Sources, [](Options& o) { o.columns = SourceColumns::One; o.sourceKana = true; },
         "R_SourceList150"},
        {Chapter::UserTypes, [](Options&) {}, "R_XlHensuU"},
        {Chapter::Constants, [](Options&) {}, "R_XlHensuT"},
        {Chapter::VariableList, [](Options&) {}, "R_XlHensuH"},
        {Chapter::Citations, [](Options&) {}, "R_XlLinkProc"},
        // The link search fills the cell list's table, under a report of its own.
        {Chapter::LinkSearch, [](Options& o) { o.cell = CellOption::Comments; }, "R_XlCalcLink"},
        {Chapter::Variables, [](Options&) {}, nullptr},
        {Chapter::SheetPrint, [](Options&) {}, nullptr},
        {Chapter::TimeEstimate, [](Options&) {}, nullptr},
    };
    for (const ReportCase& c : cases) {
        Options options;
        c.options(options);
        const auto report = reportOf(c.chapter, options);
        EXPECT_EQ(report ? reportName(*report) : QString(), QString::fromLatin1(c.report)) << int(c.chapter);
    }
}

// Every report a chapter can print is stored in a new analysis database: a
// misspelt name would fail only when a user pressed that button.
TEST(ReportTable, EveryReportAChapterPrintsIsStored) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Tabulon2.mdb");
    tabulon::store::Database::create(path);
    auto db = tabulon::store::Database::open(path);
    int checked = 0;
    for (int c = 0; c < kChapterCount; ++c) {
        for (bool kana : {false, true}) {
            for (SourceColumns columns : {SourceColumns::One, SourceColumns::Two}) {
                Options options;
                options.procedureKana = options.sourceKana = kana;
                options.columns = columns;
                options.object = kana ? ObjectOption::Book : ObjectOption::DetailedObjects;
                options.cell = kana ? CellOption::Formulas : CellOption::Both;
                const auto report = reportOf(Chapter(c), options);
                if (!report) continue;
                const auto rows = db->query(QStringLiteral("SELECT count(*) FROM Z_Report WHERE Name = ?"),
                                            {reportName(*report)});
                EXPECT_EQ(rows[0][0].toInt(), 1) << reportName(*report).toStdString();
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 60);
}

// Every chapter that has a preview has it among the commands a workbook's
// intake turns off; the preview and the chapter's own command differ, except
// for the variable lists, which are their own preview.
TEST(ReportTable, PreviewsAreCommandsOfTheirOwn) {
    for (int c = 0; c < kChapterCount; ++c) {
        const auto preview = previewOf(Chapter(c));
        if (!preview) continue;
        const bool lists = *preview == Command::VariableLists;
        EXPECT_EQ(commandOf(Chapter(c)) == *preview, lists && Chapter(c) != Chapter::Variables) << c;
    }
}

}  // namespace
