#pragma once
// The password of an encrypted workbook, asked of the user by the front end.
#include <QString>
#include <functional>
#include <optional>

namespace tabulon::host {

// Asked for a password when the default one does not open the workbook;
// `attempt` counts from 0 (a second call follows a wrong password). No value:
// the user has none to give (the dialog was cancelled, the command line has
// no more). The password is only held in memory, never stored or shown.
using PasswordAsk = std::function<std::optional<QString>(int attempt)>;

}  // namespace tabulon::host
