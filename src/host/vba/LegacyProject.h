#pragma once
// Macros our exporter cannot read: an Excel 5.0/95 workbook keeps its code
// in VB module sheets of the workbook stream, or in a `_VBA_PROJECT` storage
// of that time, not in the `_VBA_PROJECT_CUR` storage that Project reads.
// The reader tells such a workbook (host::Workbook::hasUnreadableMacros).
#include <QString>

namespace tabulon::vba {

// The message the code chapters show for such a workbook.
QString unreadableProjectText();

}  // namespace tabulon::vba
