#pragma once
// What formulas need from the rest of the workbook, answered from the loaded
// SUPBOOK, EXTERNSHEET and NAME tables, with names quoted the way the
// spreadsheet quotes them in formula text.
#include "host/xls/FormulaDecoder.h"
#include "host/xls/Model.h"

#include <QHash>

namespace tabulon::xls {

class BookContext : public FormulaContext {
public:
    explicit BookContext(const WorkbookModel& book) : book_(book) {}
    QString externSheetPrefix(int ixti) const override;
    QString definedName(int nameIndex) const override;
    QString externName(int ixti, int nameIndex) const override;

private:
    QString computeExternSheetPrefix(int ixti) const;
    const WorkbookModel& book_;
    mutable QHash<int, QString> prefixes_;  // by ixti; the tables do not change during a load
};

// A sheet name as a reference or a sheet-level name writes it: quoted, inner
// quotes doubled, when it could be misread ("'My Sheet'", "Sheet1").
QString quoteSheetName(const QString& name);

}  // namespace tabulon::xls
