#pragma once
// The password of an encrypted workbook on the command line: the --password
// option, else the environment variable TABULON_PASSWORD. It is given to
// the reader once; it is never echoed, logged or stored.
#include "host/Password.h"

#include <QString>

namespace tabulon::cli {

inline constexpr const char* kPasswordVariable = "TABULON_PASSWORD";

// `option` is the option's value, or empty when it was not given.
host::PasswordAsk commandLinePassword(const QString& option);

}  // namespace tabulon::cli
