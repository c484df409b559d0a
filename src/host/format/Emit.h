#pragma once
// Writing the tokens every kind of section shares into a Display.
#include "host/format/FormatCode.h"
#include "host/format/NumberFormat.h"

namespace tabulon::host::format {

// Literal text, "_x" spacing and "*x" fill; false for any other token.
bool emitCommon(Display& out, const Token& token);

// Digits in the section's DBNum form, keeping the spacing and fill
// positions; from `start` on (earlier text is left as it is).
void applyDigitForm(Display& out, int form, bool placeWords, int start = 0);

}  // namespace tabulon::host::format
