#pragma once
// What a cell shows: its value through its number format.
#include "host/format/NumberFormat.h"

#include <QString>
#include <QVariant>

namespace tabulon::host {

// A cell value (as Cell::value gives it) through a number format code. A
// zero shows as nothing when the sheet hides zeros; no "####" width rule.
format::Display cellDisplay(const QVariant& value, bool isError, const QString& formatCode, bool date1904,
                            bool showZeros = true);

}  // namespace tabulon::host
