#pragma once
// The `vba` member of `tabulon dump --json`: what the reader makes of a
// workbook's VBA project, with the text each component exports to.
#include <QJsonObject>

namespace tabulon::host { class Workbook; }

namespace tabulon::vba {

// {"present", "protected", "codePage", "components": [{"name", "type",
// "file", "text"}]}, from the project read with the workbook. A locked
// project lists its components without text. A project that cannot be read
// gives "present" and an "error" member with the error number and
// description instead of throwing.
QJsonObject vbaJson(const host::Workbook& book);

}  // namespace tabulon::vba
