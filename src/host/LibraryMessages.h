#pragma once
// The messages the GLib-based libraries of the reader print on their own
// (libgsf's assertions and warnings about damaged compound files) go to the
// program's log instead of the terminal.
namespace tabulon::host {

void routeLibraryMessages();

}  // namespace tabulon::host
