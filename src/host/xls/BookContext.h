#pragma once
// What formulas need from the rest of the workbook, answered from the loaded
// SUPBOOK, EXTERNSHEET and NAME tables, with names quoted the way the
// spreadsheet quotes them in formula text.
#include "host/xls/FormulaDecoder.h"
#include "host/xls/Globals.h"

#include <vector>

namespace tabulon::xls {

class BookContext : public FormulaContext {
public:
    // The workbook's reference tables must be complete: the sheet prefixes
    // are worked out here, once, so that sheets read side by side share
    // nothing that changes.
    explicit BookContext(const Globals& book);
    // The same over another link table: an Excel 5.0/95 sheet's own.
    BookContext(const Globals& book, const std::vector<SupBookModel>& supBooks,
                const std::vector<XtiModel>& xti);
    QString externSheetPrefix(int ixti) const override;
    QString definedName(int nameIndex) const override;
    QString definedNameOn(int nameIndex, const QString* formulaSheet) const override;
    QString externName(int ixti, int nameIndex) const override;
    QString ownSheetsPrefix(int firstTab, int lastTab) const override;

private:
    QString computeExternSheetPrefix(int ixti) const;
    const Globals& book_;
    const std::vector<SupBookModel>& supBooks_;
    const std::vector<XtiModel>& xti_;
    std::vector<QString> prefixes_;      // by ixti
    std::vector<QString> bookPrefixes_;  // by SUPBOOK: the linked book as an external name's prefix
};

using model::quoteSheetName;

}  // namespace tabulon::xls
