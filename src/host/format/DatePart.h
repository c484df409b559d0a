#pragma once
// Dates and times: a serial day number through a date/time section.
#include "host/format/FormatCode.h"
#include "host/format/JapaneseForms.h"
#include "host/format/NumberFormat.h"

namespace tabulon::host::format {

// The largest serial a date section shows (9999/12/31 in the 1900 system).
constexpr double kLastSerial = 2958465.0;

// The calendar date of a whole serial day. The 1900 system counts 1900/1/1
// as 1 and keeps the day 1900/2/29 (serial 60) that the calendar lacks;
// serial 0 is shown as 1900/1/0. The 1904 system counts 1904/1/1 as 0.
CivilDate serialDate(long long day, bool date1904);
// 0 = Sunday.
int serialWeekday(long long day, bool date1904);

// False when the value cannot be shown as a date (negative or too large).
bool renderDateSection(const Section& section, double value, bool date1904, Display& out);

}  // namespace tabulon::host::format
