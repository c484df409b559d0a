#pragma once
// The one message-box convention of every command: what the box says when a
// command fails, and the guard that turns an escaping error into that box.
//
// Two forms. The usual one names the place and the error number and asks the
// user to mail them in; error numbers 2449..2999 come from the report engine
// in a state the program cannot recover from, so that form tells the user the
// system will end and the Exit command runs after it.
#include "common/ErrorText.h"
#include "common/Ports.h"

#include <QString>
#include <functional>

namespace tabulon::intake {

// Who a guarded command reports to. `exit` is the Exit command (with its own
// OK/Cancel confirmation); it may be empty where there is nothing to end.
struct CommandShell {
    MessagePort& messages;
    ProgressPort& progress;
    std::function<void()> exit;
};

// Runs `body` under the one command guard (common/Guard.h). When anything
// escapes it, shows the box for `place`, ends the busy state (pointer back,
// window enabled), and for an unstable-system number runs the Exit command.
// Rows already written stay. Returns true when the body completed.
bool runGuarded(const CommandShell& shell, const QString& place,
                const std::function<void()>& body, const ErrorStyle& style = {});

}  // namespace tabulon::intake
