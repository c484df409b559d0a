#pragma once
// One sheet part of a binary workbook (MS-XLSB 2.1.7.62) into the model's
// sheet: cells with their values, formulas decoded from their tokens by the
// .xls decoder (shared and array formulas in every cell of their range,
// data tables), the used range, merged areas, columns, rows, page setup,
// breaks, header and footer, protection, the code name; what the sheet only
// points to (drawings, comments) is handed back for the loader.
#include "host/model/Book.h"
#include "host/ooxml/sheet/SheetParser.h"

#include <QByteArray>
#include <QStringList>

namespace tabulon::xls { class FormulaContext; }

namespace tabulon::ooxml {

struct BinarySheetContext {
    size_t sharedStringCount = 0;
    const xls::FormulaContext* formulas = nullptr;
};

// Reads the part's records into `sheet`. A record that breaks the part's
// framing ends the reading with a warning: the cells before it stay.
void readBinarySheet(const QByteArray& bytes, const QString& part, const BinarySheetContext& ctx, model::Sheet& sheet,
                     SheetRefs& refs, QStringList& warnings);

}  // namespace tabulon::ooxml
