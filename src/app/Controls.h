#pragma once
// Where the core's words meet the window's controls: which control stands
// for which command (its enabled state mirrors the command's), which option
// buttons set which option, and which chapter a preview button shows.
// Control names live in app/ and the Designer forms only.
#include "intake/Chapters.h"
#include "intake/Session.h"

#include <QString>
#include <vector>

namespace tabulon::app {

// A control (button, list or menu item) and the command it offers.
struct CommandControl {
    const char* control;
    intake::Command command;
};
const std::vector<CommandControl>& commandControls();

// An array of option buttons ("optObject_0", "optObject_1", ...): the option
// a button index sets, and the index of the value in force.
struct OptionButtons {
    const char* name;
    void (*choose)(intake::Session& session, int index);
    int (*selected)(const intake::Options& options);
};
const std::vector<OptionButtons>& optionButtons();

// The preview buttons ("cmdPPre": the procedure list again) and the buttons
// of the three variable lists, with the chapter each one shows.
struct PreviewButton {
    const char* control;
    intake::Chapter chapter;
};
const std::vector<PreviewButton>& previewButtons();

}  // namespace tabulon::app
