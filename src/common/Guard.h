#pragma once
// The one guard every command runs its body under. Whatever escapes the body
// comes back as the error value the message box shows:
//   - a tabulon::Error as raised,
//   - running out of memory as 7 "メモリが不足しています。",
//   - any other exception, a fault of the program itself, as 51 with its
//     technical text (51 is the number the platform always used for an
//     internal error).
// The error carries `place` unless the raiser named a place already.
// The front ends' wrappers (intake::runGuarded, the code commands' runGuarded)
// decide what to do with it: show the box, end the busy state, exit.
#include "common/Error.h"

#include <QString>
#include <functional>
#include <optional>

namespace tabulon {

std::optional<Error> guardedRun(const QString& place, const std::function<void()>& body);

}  // namespace tabulon
