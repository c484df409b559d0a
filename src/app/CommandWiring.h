#pragma once
// Connects the window's buttons and menu items to the commands of the
// analyses, intake, results and dialogs. The window itself only forwards
// clicks by control name (FrmTabulon::setCommand).
namespace tabulon::app {

class FrmTabulon;

void installCommands(FrmTabulon& window);

}  // namespace tabulon::app
