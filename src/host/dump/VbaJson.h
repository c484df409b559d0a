#pragma once
// The `vba` member of `tabulon dump --json`: what the reader makes of a
// workbook's VBA project, with the text each component exports to.
#include <QJsonObject>
#include <QString>

namespace tabulon::vba {

// {"present", "protected", "codePage", "components": [{"name", "type",
// "file", "text"}]}. A locked project lists its components without text. A
// file or project that cannot be read gives "present" and an "error" member
// with the error number and description instead of throwing.
QJsonObject vbaJson(const QString& xlsPath);

}  // namespace tabulon::vba
