#include "app/Controls.h"

namespace tabulon::app {

using intake::Chapter;
using intake::Command;

const std::vector<CommandControl>& commandControls() {
    static const std::vector<CommandControl> controls = {
        {"cmdHyousi_0", Command::Cover},           {"cmdHyousi_1", Command::Cover},
        {"cmdHyousi_2", Command::Cover},           {"cmdSave", Command::SaveCoverDefaults},
        {"cmdObject", Command::Objects},           {"cmdOPre", Command::PreviewObjects},
        {"cmdCell", Command::Cells},               {"cmdCPre", Command::PreviewCells},
        {"cboSheet2", Command::ChooseCellSheet},   {"cmdKansu", Command::Procedures},
        {"cmdPPre", Command::PreviewProcedures},   {"cmdModule", Command::Sources},
        {"cmdMPre", Command::PreviewSources},      {"cmdXlShape", Command::Shapes},
        {"cmdSPre", Command::PreviewShapes},       {"cmdHensu", Command::CollectVariables},
        {"cmdHensuU", Command::VariableLists},     {"cmdHensuT", Command::VariableLists},
        {"cmdHensuH", Command::VariableLists},     {"cmdName", Command::Names},
        {"cmdNPre", Command::PreviewNames},        {"cmdSheet", Command::SheetPrint},
        {"cmdFile", Command::Files},               {"cmdFPre", Command::PreviewFiles},
        {"cmdComment", Command::Comments},         {"cmdCOPre", Command::PreviewComments},
        {"cmdModStep", Command::ModuleSteps},      {"cmdMSPre", Command::PreviewModuleSteps},
        {"cmdAddin", Command::Addins},             {"cmdADPre", Command::PreviewAddins},
        {"cmdInyoSaki", Command::Citations},       {"cmdISPre", Command::PreviewCitations},
        {"cmdLinkMoto", Command::LinkSearch},      {"cmdTimeCheck", Command::TimeEstimate},
        {"m1a", Command::SelectWorkbook},          {"m1b", Command::SaveResults},
        {"m1c", Command::LoadResults},             {"m6", Command::Settings},
        // A recent workbook is a workbook choice: it is locked with the menu.
        {"RecentFile_0", Command::SelectWorkbook}, {"RecentFile_1", Command::SelectWorkbook},
        {"RecentFile_2", Command::SelectWorkbook}, {"RecentFile_3", Command::SelectWorkbook},
    };
    return controls;
}

namespace {

// The buttons of one option: button i sets the value i + 1.
template <typename Option, Option intake::Options::*field>
OptionButtons buttonsOf(const char* name) {
    return {name, [](intake::Session& s, int index) { s.setOption(Option(index + 1)); },
            [](const intake::Options& o) { return int(o.*field) - 1; }};
}

}  // namespace

const std::vector<OptionButtons>& optionButtons() {
    using O = intake::Options;
    static const std::vector<OptionButtons> buttons = {
        buttonsOf<intake::ObjectOption, &O::object>("optObject"),
        buttonsOf<intake::CellOption, &O::cell>("optCell"),
        buttonsOf<intake::ProcedureOption, &O::procedures>("optProc"),
        buttonsOf<intake::ModuleSelection, &O::modules>("optModule"),
        buttonsOf<intake::SourceColumns, &O::columns>("optMPrint"),
        buttonsOf<intake::ShapeSelection, &O::shapes>("optShape"),
        buttonsOf<intake::FileSelection, &O::files>("optFile"),
        buttonsOf<intake::SheetSelection, &O::sheets>("optSSelect"),
    };
    return buttons;
}

const std::vector<PreviewButton>& previewButtons() {
    static const std::vector<PreviewButton> buttons = {
        {"cmdOPre", Chapter::Objects},     {"cmdCPre", Chapter::Cells},
        {"cmdPPre", Chapter::Procedures},  {"cmdMPre", Chapter::Sources},
        {"cmdSPre", Chapter::Shapes},      {"cmdNPre", Chapter::Names},
        {"cmdFPre", Chapter::Files},       {"cmdCOPre", Chapter::Comments},
        {"cmdMSPre", Chapter::ModuleSteps}, {"cmdADPre", Chapter::Addins},
        {"cmdISPre", Chapter::Citations},  {"cmdHensuU", Chapter::UserTypes},
        {"cmdHensuT", Chapter::Constants}, {"cmdHensuH", Chapter::VariableList},
    };
    return buttons;
}

}  // namespace tabulon::app
