#pragma once
// External link parts (ECMA-376 Part 1, 18.14): the linked workbooks, DDE and
// OLE links, in the order the workbook's formulas number them ("[1]"), with
// each book's path written as the .xls reader writes a linked book's path.
#include "host/model/Book.h"
#include "host/ooxml/formula/FormulaText.h"

#include <QStringList>
#include <vector>

namespace tabulon::ooxml {

class Package;

struct ExternalLinks {
    std::vector<ExternalBook> books;  // by formula number - 1
    std::vector<model::Link> links;   // the link sources, in the same order
};

ExternalLinks readExternalLinks(const Package& package, const QString& workbookPart, const QStringList& relIds,
                                const QString& bookFolder);

// A link target as stored in a relationship ("file:///C:\data\B.xlsx",
// "../B.xlsx", "/data/B.xlsx") as the link sources show it: a drive or
// server path as the saving machine wrote it, a relative one resolved
// against the workbook's folder.
QString linkedBookPath(const QString& target, const QString& bookFolder);

}  // namespace tabulon::ooxml
