#pragma once
// The password dialog of the intake: asked when an encrypted workbook does
// not open with the default password; a second time after a wrong one.
#include "host/Password.h"

class QWidget;

namespace tabulon::app {

host::PasswordAsk passwordDialog(QWidget* owner);

}  // namespace tabulon::app
