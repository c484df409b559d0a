#pragma once
// The defined-name list: every workbook-level name of the workbook, the
// sheet it points into and the cells it covers, into T_XlName.
#include "analyses/workbook/WorkbookRun.h"

#include <vector>

namespace tabulon::analyses::workbook {

inline const QString NamePlace = QStringLiteral("場所:名前一覧");

struct NameRow {
    QString labelName, sheetMei, stCell;
};

// The sheet part of a reference formula: the characters after "=" up to the
// first "!" outside quotes ("='Sales!2001'!$B$2" -> "'Sales!2001'"); empty
// when there is none.
QString sheetPartOf(const QString& refersTo);

// The row of a workbook-level name. A name that is no plain range (a
// constant, a formula, #REF!, an external reference) keeps its RefersTo
// text in SheetMei and an empty StCell.
NameRow nameRow(const host::Name& name);

// The positions (1-based) of the names collection: every name but the
// hidden ones that only tie a button or shape to a VBA procedure.
std::vector<int> nameCollection(const host::Workbook& book);
// A name of the collection the list holds: a workbook-level one.
bool isListedName(const host::Name& name);

// The outcome's doneMark is the value of fNam (1 after a completed run).
CodeOutcome runNameList(const WorkbookContext& ctx);

}  // namespace tabulon::analyses::workbook
