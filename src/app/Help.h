#pragma once
// Help > ヘルプ (m3): the program's help page, an HTML file shipped inside the
// program, opened in the desktop's browser.
#include "app/Desktop.h"
#include "common/Ports.h"
#include "intake/AppPaths.h"

namespace tabulon::app {

// The help page as a file the browser can open: "Tabulon2.html" in the
// program folder when one is installed there, else the built-in page written
// into the program's working folder. Empty when it cannot be written.
QString helpPagePath(const intake::AppPaths& paths);

// Opens the help page; a page that cannot be written or a desktop without a
// browser gets a message naming the page, so that it can be opened by hand.
// Returns true when the browser was started.
bool m3_Click(const intake::AppPaths& paths, ShellOpenPort& shell, MessagePort& messages);

}  // namespace tabulon::app
