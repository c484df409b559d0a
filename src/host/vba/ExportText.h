#pragma once
// The text the VBA editor's Export writes for one component. The code
// analyses read these files line by line, so the header lines and the
// attribute lines must be the editor's, to the blank.
#include "host/vba/ProjectStream.h"

#include <QString>

namespace tabulon::vba {

// `source` is the module's stored source (it begins with its Attribute
// lines); `designer` is the form designer's VBFrame text (forms only);
// `frxFileName` is the name of the binary file written beside a form.
// The result has CRLF line ends and ends with one.
QString exportText(ComponentType type, const QString& source,
                   const QString& designer = {}, const QString& frxFileName = {});

// The file extension of a component in the working folder: ".bas", ".cls",
// ".frm", ".bok" for ThisWorkbook (any case), ".sht" for other documents.
QString exportExtension(ComponentType type, const QString& name);

}  // namespace tabulon::vba
