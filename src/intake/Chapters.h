#pragma once
// The program's own words for what a user does with it: the chapters of the
// documentation, the stored reports that print them, which report a chapter
// prints under the options in force, and the commands a front end offers and
// makes usable or not. The window maps these onto its controls, the command
// line onto its chapter list; the core knows no control.
#include "intake/Options.h"

#include <QString>
#include <optional>

namespace tabulon::intake {

// In the order a user meets them on the window, frame by frame (the batch
// runs them in this order too).
enum class Chapter {
    Cover, SpineLabel, FrontLabel,  // the cover page and the two binder labels
    TimeEstimate,                   // the processing-time estimate (a box, no report)
    Objects,                        // book, sheet-object and link inventory
    Cells,                          // cell and formula inventory
    Procedures,                     // procedure list
    Sources,                        // module source list
    Shapes,                         // shape and control inventory
    Variables,                      // collects the three lists below (prints nothing)
    UserTypes, Constants, VariableList,
    Names,                          // defined-name list
    SheetPrint,                     // sheet print image (laid out from the workbook)
    Files,                          // folder file list
    Comments,                       // comment list
    ModuleSteps,                    // module step counts
    Addins,                         // add-in list
    Citations,                      // procedure citations
    LinkSearch,                     // link-destination search
};
inline constexpr int kChapterCount = int(Chapter::LinkSearch) + 1;

// The reports stored in the analysis database.
enum class Report {
    Cover, SpineLabel, FrontLabel,
    Book, Objects,
    Formulas, CellNotes, LinkedCells,
    Procedures, ProceduresKana,
    Sources, SourcesKana, SourcesOneColumn, SourcesOneColumnKana,
    Shapes, UserTypes, Constants, Variables, Names, Files, Comments, ModuleSteps, Addins,
    Citations,
};

// The name a report is stored under ("R_XlHyousi", ...).
QString reportName(Report report);

// The report a chapter prints under `options`; none for a chapter that prints
// no stored report.
std::optional<Report> reportOf(Chapter chapter, const Options& options);

// What a front end offers, each usable or not at any time.
enum class Command {
    // Running a chapter. The cover's three pages are one command, and so are
    // the three variable lists, which print what CollectVariables gathered.
    Cover, Objects, Cells, Procedures, Sources, Shapes, CollectVariables, VariableLists, Names,
    SheetPrint, Files, Comments, ModuleSteps, Addins, Citations, LinkSearch, TimeEstimate,
    SaveCoverDefaults,
    // Showing the last result of a chapter again without running it.
    PreviewObjects, PreviewCells, PreviewProcedures, PreviewSources, PreviewShapes,
    PreviewNames, PreviewFiles, PreviewComments, PreviewModuleSteps, PreviewAddins,
    PreviewCitations,
    // Choosing the sheet of the cell list.
    ChooseCellSheet,
    // The file menu and the report-header settings.
    SelectWorkbook, SaveResults, LoadResults, Settings,
};
inline constexpr int kCommandCount = int(Command::Settings) + 1;

// The command that runs a chapter.
Command commandOf(Chapter chapter);
// The command that shows a chapter's last result again, if it has one (the
// variable lists are their own preview).
std::optional<Command> previewOf(Chapter chapter);

}  // namespace tabulon::intake
