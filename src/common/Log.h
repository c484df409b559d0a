#pragma once
// The program's log: what the libraries say while they work (Qt's warnings,
// the GLib messages of the compound-file library) and the technical detail
// behind a refusal. None of it is for the user: the terminal shows the
// program's own lines only, and the log reaches the error stream when the
// program runs with --verbose. Messages that end the program always show.
#include <QString>

namespace tabulon::logging {

// Takes over Qt's message output; call before the application object is
// made, so that its own start-up warnings are caught too.
void install(bool verbose);
bool verbose();

// Writes one line to the log (shown only when verbose).
void write(const QString& source, const QString& text);

}  // namespace tabulon::logging
