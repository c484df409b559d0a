#include "app/CommandWiring.h"

#include "app/FrmTabulon.h"

namespace tabulon::app {

// Each command is registered here as it becomes available, e.g.
//   window.setCommand("cmdKansu", [&window](int) { ... });
// and the saved result on the command line as window.setStartupStep(...).
void installCommands(FrmTabulon& window) { (void)window; }

}  // namespace tabulon::app
