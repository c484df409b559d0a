#pragma once
// The workbook part (ECMA-376 Part 1, 18.2): the sheets in order with their
// state and relationship, the defined names as stored, the date system,
// the code name and the external references.
#include <QString>
#include <QStringList>
#include <vector>

namespace tabulon::ooxml {

class Package;

struct SheetEntry {
    QString name;
    QString relId;
    int visibility = 0;  // 0 visible, 1 hidden, 2 very hidden
};

struct DefinedName {
    QString name;        // as stored, "_xlnm.Print_Area" included
    int localSheet = -1; // localSheetId: the sheet's position in the list; -1 workbook-level
    bool hidden = false;
    bool vbProcedure = false;
    QString formula;     // as stored, no "="
};

struct WorkbookInfo {
    std::vector<SheetEntry> sheets;
    std::vector<DefinedName> names;
    QStringList externalRefs;  // relationship ids, in the order formulas number them
    bool date1904 = false;
    QString codeName;
};

WorkbookInfo readWorkbookPart(const Package& package, const QString& part);

}  // namespace tabulon::ooxml
