#pragma once
// Macros our exporter cannot read: an Excel 5.0/95 workbook keeps its code
// in VB module sheets of the workbook stream, or in a `_VBA_PROJECT` storage
// of that time, not in the `_VBA_PROJECT_CUR` storage that Project reads.
#include "host/xls/Model.h"

#include <QString>

namespace tabulon::vba {

// True when the workbook holds macros in one of those forms and no
// `_VBA_PROJECT_CUR` storage: its code chapters have nothing to read, though
// the workbook has code. A missing or broken file answers false (the
// reader has already told about it).
bool hasUnreadableProject(const QString& xlsPath, const xls::WorkbookModel& book);

// The message the code chapters show for such a workbook.
QString unreadableProjectText();

}  // namespace tabulon::vba
