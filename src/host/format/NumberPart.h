#pragma once
// Numbers through the digit placeholders of a section, and the General format.
#include "host/format/FormatCode.h"
#include "host/format/NumberFormat.h"

namespace tabulon::host::format {

// |value| as the General format shows it: up to 11 characters, integers of
// up to 11 digits in full, scientific beyond (1.23457E+11) and for very small
// values.
QString generalDigits(double value);

// A number section (digits, fraction or scientific) appended to out.
void renderNumberSection(const Section& section, double value, Display& out);

// A section holding "General" amid literal text.
void renderGeneralSection(const Section& section, double value, Display& out);

}  // namespace tabulon::host::format
