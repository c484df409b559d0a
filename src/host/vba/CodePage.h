#pragma once
#include "host/CodePage.h"  // the one code-page converter of the host

namespace tabulon::vba {
using host::decodeCodePage;
using host::isKnownCodePage;
}  // namespace tabulon::vba
