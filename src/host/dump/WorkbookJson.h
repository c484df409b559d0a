#pragma once
// The loaded workbook as a JSON document, for the dump command and for
// checking the reader by eye: properties, sheets with their non-empty cells,
// names, links and the warnings of damaged records.
#include "host/Workbook.h"

#include <QJsonObject>

namespace tabulon::host {

QJsonObject workbookJson(const Workbook& book);

}  // namespace tabulon::host
