#include "intake/Chapters.h"

namespace tabulon::intake {

QString reportName(Report report) {
    switch (report) {
    case Report::Cover: return QStringLiteral("R_XlHyousi");
    case Report::SpineLabel: return QStringLiteral("R_XlHyousiH");
    case Report::FrontLabel: return QStringLiteral("R_XlHyousiW");
    case Report::Book: return QStringLiteral("R_XlBook");
    case Report::Objects: return QStringLiteral("R_XlObject");
    case Report::Formulas: return QStringLiteral("R_XlCalc");
    case Report::CellNotes: return QStringLiteral("R_XlCalcNote");
    case Report::LinkedCells: return QStringLiteral("R_XlCalcLink");
    case Report::Procedures: return QStringLiteral("R_ModuleList");
    case Report::ProceduresKana: return QStringLiteral("R_ModuleList50");
    case Report::Sources: return QStringLiteral("R_SourceList");
    case Report::SourcesKana: return QStringLiteral("R_SourceList50");
    case Report::SourcesOneColumn: return QStringLiteral("R_SourceList1");
    case Report::SourcesOneColumnKana: return QStringLiteral("R_SourceList150");
    case Report::Shapes: return QStringLiteral("R_XlShape");
    case Report::UserTypes: return QStringLiteral("R_XlHensuU");
    case Report::Constants: return QStringLiteral("R_XlHensuT");
    case Report::Variables: return QStringLiteral("R_XlHensuH");
    case Report::Names: return QStringLiteral("R_XlName");
    case Report::Files: return QStringLiteral("R_XlFile");
    case Report::Comments: return QStringLiteral("R_XlComment");
    case Report::ModuleSteps: return QStringLiteral("R_XlModStep");
    case Report::Addins: return QStringLiteral("R_XlAddin");
    case Report::Citations: return QStringLiteral("R_XlLinkProc");
    }
    return {};
}

// The one table of which report each chapter prints: a chapter's command and
// its preview both come here, so the two always agree.
std::optional<Report> reportOf(Chapter chapter, const Options& o) {
    switch (chapter) {
    case Chapter::Cover: return Report::Cover;
    case Chapter::SpineLabel: return Report::SpineLabel;
    case Chapter::FrontLabel: return Report::FrontLabel;
    case Chapter::Objects:
        return o.object == ObjectOption::Book ? Report::Book : Report::Objects;
    case Chapter::Cells:
        return o.cell == CellOption::Formulas ? Report::Formulas : Report::CellNotes;
    case Chapter::Procedures:
        return o.procedureKana ? Report::ProceduresKana : Report::Procedures;
    case Chapter::Sources:
        if (o.columns == SourceColumns::One)
            return o.sourceKana ? Report::SourcesOneColumnKana : Report::SourcesOneColumn;
        return o.sourceKana ? Report::SourcesKana : Report::Sources;
    case Chapter::Shapes: return Report::Shapes;
    case Chapter::UserTypes: return Report::UserTypes;
    case Chapter::Constants: return Report::Constants;
    case Chapter::VariableList: return Report::Variables;
    case Chapter::Names: return Report::Names;
    case Chapter::Files: return Report::Files;
    case Chapter::Comments: return Report::Comments;
    case Chapter::ModuleSteps: return Report::ModuleSteps;
    case Chapter::Addins: return Report::Addins;
    case Chapter::Citations: return Report::Citations;
    // The search writes its cells into the formula list's table, and prints
    // them under a title of its own.
    case Chapter::LinkSearch: return Report::LinkedCells;
    case Chapter::TimeEstimate:
    case Chapter::Variables:
    case Chapter::SheetPrint:
        return std::nullopt;
    }
    return std::nullopt;
}

Command commandOf(Chapter chapter) {
    switch (chapter) {
    case Chapter::Cover:
    case Chapter::SpineLabel:
    case Chapter::FrontLabel: return Command::Cover;
    case Chapter::TimeEstimate: return Command::TimeEstimate;
    case Chapter::Objects: return Command::Objects;
    case Chapter::Cells: return Command::Cells;
    case Chapter::Procedures: return Command::Procedures;
    case Chapter::Sources: return Command::Sources;
    case Chapter::Shapes: return Command::Shapes;
    case Chapter::Variables: return Command::CollectVariables;
    case Chapter::UserTypes:
    case Chapter::Constants:
    case Chapter::VariableList: return Command::VariableLists;
    case Chapter::Names: return Command::Names;
    case Chapter::SheetPrint: return Command::SheetPrint;
    case Chapter::Files: return Command::Files;
    case Chapter::Comments: return Command::Comments;
    case Chapter::ModuleSteps: return Command::ModuleSteps;
    case Chapter::Addins: return Command::Addins;
    case Chapter::Citations: return Command::Citations;
    case Chapter::LinkSearch: return Command::LinkSearch;
    }
    return Command::Cover;
}

std::optional<Command> previewOf(Chapter chapter) {
    switch (chapter) {
    case Chapter::Objects: return Command::PreviewObjects;
    case Chapter::Cells: return Command::PreviewCells;
    case Chapter::Procedures: return Command::PreviewProcedures;
    case Chapter::Sources: return Command::PreviewSources;
    case Chapter::Shapes: return Command::PreviewShapes;
    case Chapter::Variables:
    case Chapter::UserTypes:
    case Chapter::Constants:
    case Chapter::VariableList: return Command::VariableLists;
    case Chapter::Names: return Command::PreviewNames;
    case Chapter::Files: return Command::PreviewFiles;
    case Chapter::Comments: return Command::PreviewComments;
    case Chapter::ModuleSteps: return Command::PreviewModuleSteps;
    case Chapter::Addins: return Command::PreviewAddins;
    case Chapter::Citations: return Command::PreviewCitations;
    default: return std::nullopt;
    }
}

}  // namespace tabulon::intake
