// Both whole-project code analyses over the modules the exporter writes for
// every fixture workbook with a readable VBA project. The counts were checked
// against an independent reading of the exported files.
#include "analyses/code/Citations.h"
#include "analyses/code/CommentList.h"
#include "analyses/code/ModuleSteps.h"
#include "analyses/code/ProcedureList.h"
#include "analyses/code/SourceList.h"
#include "analyses/code/Variables.h"
#include "code_support.h"
#include "host/vba/Project.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::code;
using tabulon::test::code::Workspace;
using tabulon::test::code::lines;

using tabulon::intake::ProcedureOption;
using tabulon::intake::ModuleSelection;

namespace {

class ExportedFixture {
public:
    explicit ExportedFixture(const char* fixture) {
        const auto project = tabulon::vba::Project::load(tabulon::test::fixture(QString::fromUtf8(fixture)));
        const auto exported = project.exportAll(ws.temp());
        counts = {exported.standardCount, exported.classCount, exported.formCount, {}};
        ws.setModules(codeModules(project));
    }
    CodeContext context() { return ws.context(counts.standard, counts.classes, counts.forms); }
    // The query's first row, "a|b|c"; empty fields show as "-".
    QString first(const QString& sql) { return lines(ws.rows(sql), QStringLiteral("-")).value(0); }
    int count(const char* table, const char* where = "") {
        return first(QStringLiteral("select count(*) from ") + QLatin1String(table) + QLatin1String(where)).toInt();
    }
    Workspace ws;
    ModuleCounts counts;
};

// Per fixture: modules read by the procedure list (0: refused, no module
// holding code), procedure rows, declaration/call rows and the all-modules
// source rows.
TEST(RealModules, RowCountsOfBothAnalyses) {
    const struct { const char* fixture; int modules, procRows, dimCallRows, sourceRows; } cases[] = {
        {"xls/calamine/issues.xls", 6, 1, 0, 3},
        {"xls/crafted/hostile_names.xls", 10, 11, 8, 168},
        {"xls/crafted/japanese_vba.xls", 8, 45, 44, 417},
        {"xls/poi/14460.xls", 0, 0, 0, 0},  // three modules, none holding code
        {"xls/poi/27272_1.xls", 0, 0, 0, 0},
        {"xls/poi/30070.xls", 4, 1, 0, 3},
        {"xls/poi/39234.xls", 7, 2, 1, 5},
        {"xls/poi/50939.xls", 11, 3, 4, 56},
        {"xls/poi/59830.xls", 29, 2, 0, 58},
        {"xls/poi/FormulaEvalTestData.xls", 6, 1, 0, 3},
        {"xls/poi/SimpleMacro.xls", 5, 1, 0, 9},
        {"xls/poi/SquareMacro.xls", 5, 3, 0, 14},
        {"xls/poi/WithCheckBoxes.xls", 0, 0, 0, 0},
        {"xls/poi/ex42570-20305.xls", 5, 1, 1, 42},
        {"xls/poi/external_name.xls", 2, 2, 0, 5},  // code only in document modules
        {"xls/poi/testNames.xls", 3, 3, 0, 9},
    };
    for (const auto& e : cases) {
        SCOPED_TRACE(e.fixture);
        ExportedFixture f(e.fixture);
        const CodeOutcome procs = runProcedureList(f.context(), {ProcedureOption::Detailed, 0});
        EXPECT_EQ(procs.end, e.modules ? CodeOutcome::End::Report : CodeOutcome::End::Refused)
            << procs.message.toStdString();
        EXPECT_EQ(f.ws.cursor.moduleNumber, e.modules);
        EXPECT_EQ(f.count("T_XlProcName"), e.procRows);
        EXPECT_EQ(f.count("T_XlDimCall"), e.dimCallRows);
        const CodeOutcome source = runSourceList(f.context(), {ModuleSelection::All, 0});
        EXPECT_EQ(f.count("T_XlSource"), e.sourceRows);
        EXPECT_EQ(source.rows, e.sourceRows);
    }
}

// Every chapter runs to its report without an error box; no procedure is
// named "ERROR" on real code. Per fixture: step rows, the sum of their line
// totals, comment, variable and citation rows.
TEST(RealModules, RowCountsOfTheOtherChaptersWithoutRunTimeErrors) {
    const struct { const char* fixture; int stepRows, stepLines, comments, hensuRows, citations; } cases[] = {
        {"xls/crafted/vba_json_library.xls", 32, 1594, 225, 115, 113},
        {"xls/crafted/japanese_vba.xls", 44, 471, 66, 49, 35},  // an Enum: its row and 3 members
        {"xls/crafted/hostile_names.xls", 15, 175, 6, 6, 2},
        {"xls/poi/50939.xls", 3, 73, 2, 0, 0},
        {"xls/poi/59830.xls", 2, 58, 4, 0, 0},
        {"xls/poi/ex42570-20305.xls", 2, 45, 1, 1, 0},
        {"xls/poi/SquareMacro.xls", 8, 14, 0, 0, 3},
        {"xls/poi/27272_1.xls", 0, 0, 0, 0, 0},
    };
    for (const auto& e : cases) {
        SCOPED_TRACE(e.fixture);
        ExportedFixture f(e.fixture);
        const bool counted = f.counts.total() > 0;
        const auto expectRun = [&](const CodeOutcome& out, bool guarded) {
            EXPECT_EQ(out.end, counted || !guarded ? CodeOutcome::End::Report : CodeOutcome::End::Refused)
                << out.message.toStdString();
            EXPECT_EQ(out.errorNumber, 0);
        };
        expectRun(runModuleSteps(f.context()), true);
        expectRun(runCommentList(f.context()), true);
        expectRun(runVariables(f.context()), false);
        expectRun(runCitations(f.context()), false);
        expectRun(runProcedureList(f.context(), {ProcedureOption::Simple, 0}), true);
        EXPECT_EQ(f.count("T_XlModStep"), e.stepRows);
        EXPECT_EQ(f.first("select coalesce(sum(TotalCnt), 0) from T_XlModStep").toInt(), e.stepLines);
        EXPECT_EQ(f.count("T_XlComment"), e.comments);
        EXPECT_EQ(f.count("T_XlHensu"), e.hensuRows);
        EXPECT_EQ(f.count("T_XlLinkModule"), e.citations);
        for (const char* table : {"T_XlProcName", "T_XlModStep", "T_XlComment", "T_XlHensu"})
            EXPECT_EQ(f.count(table, " where ProcedureName = 'ERROR'"), 0) << table;
    }
}

TEST(RealModuleSamples, JapaneseProcedureRows) {
    ExportedFixture f("xls/crafted/japanese_vba.xls");
    runProcedureList(f.context(), {ProcedureOption::Detailed, 0});
    // The 64-bit and the 32-bit branch of "#If VBA7" declare the same two APIs.
    EXPECT_EQ(lines(f.ws.rows("select ProcedureName, objectName, ProcedureNo, PrivatePublic, Object, Type, DimCall, "
                              "Parameters, \"As\" from T_XlProcName where ProcedureName in ('GetTickCount', 'Sleep') "
                              "or Type = 'Property Set' and ProcedureName = '担当シート' order by ID"),
                    "-"),
              QStringList({"Sleep|Module1.bas|1|Private|標準ﾓｼﾞｭｰﾙ(Api)|Declare Sub|0|ByVal dwMilliseconds As Long|-",
                           "GetTickCount|Module1.bas|2|Private|標準ﾓｼﾞｭｰﾙ(Api)|Declare Function|0|-|Long",
                           "Sleep|Module1.bas|3|Private|標準ﾓｼﾞｭｰﾙ(Api)|Declare Sub|0|ByVal dwMilliseconds As Long|-",
                           "GetTickCount|Module1.bas|4|Private|標準ﾓｼﾞｭｰﾙ(Api)|Declare Function|0|-|Long",
                           "担当シート|顧客情報.cls|13|Public|ｸﾗｽﾓｼﾞｭｰﾙ|Property Set|-|ByVal ws As Worksheet|-"}));
    EXPECT_EQ(f.first("select ProcedureNo, Line, Bunrui, \"As\", Parameters from T_XlDimCall "
                      "where Parameters like '開始行%'"),
              "1|15|定数| 見出しの次の行|開始行 As Long = 5");
}

TEST(RealModuleSamples, JapaneseSourceRows) {
    ExportedFixture f("xls/crafted/japanese_vba.xls");
    runSourceList(f.context(), {ModuleSelection::All, 0});
    EXPECT_EQ(f.first("select count(*), max(length(Procedure)) from T_XlSource where length(Procedure) >= 255"),
              "2|255")
        << "the 258- and 308-character lines are cut";
    EXPECT_EQ(f.count("T_XlSource", " where Procedure like 'Attribute%' or Procedure like 'VERSION%'"), 0);
    EXPECT_EQ(f.first("select Label, objectNo, ProcedureNo, objectName, ProcedureName from T_XlSource "
                      "where Procedure = 'Public Sub 月次集計()'"),
              "1|7|18|集計処理.bas|月次集計");
    EXPECT_EQ(f.first("select count(*), min(ProcedureNo), max(ProcedureNo) from T_XlSource "
                      "where ProcedureName = '顧客名'"),
              "10|29|30")
        << "Property Get and Let share the name, not the section";
}

}  // namespace
