#include "inventory/WorkbookFacts.h"

#include "analyses/workbook/NameList.h"
#include "analyses/workbook/ObjectInventory.h"
#include "analyses/workbook/ShapeInventory.h"

namespace tabulon::inventory {

namespace aw = analyses::workbook;

namespace {

// The sheets the chapters document, by kind and visibility, and the cells of
// their used ranges as the detailed object list counts them.
void addSheets(const host::Workbook& book, FileFacts& facts) {
    SheetCounts& s = facts.sheets;
    int position = 0;
    for (const host::Sheet& sheet : aw::documentedSheets(book)) {
        ++position;
        switch (sheet.kind()) {
        case host::SheetKind::Worksheet: ++s.worksheets; break;
        case host::SheetKind::Chart: ++s.charts; break;
        case host::SheetKind::MacroSheet: ++s.macroSheets; break;
        case host::SheetKind::Dialog: ++s.dialogs; break;
        }
        s.hidden += sheet.visible() == host::SheetHidden;
        s.veryHidden += sheet.visible() == host::SheetVeryHidden;
        const aw::SheetCounts cells = aw::countSheet(sheet, true);
        s.usedCells += cells.cells;
        s.formulaCells += cells.formulas;
        s.notes += cells.comments;
        for (const aw::ShapeRow& row : aw::shapeRows(sheet, position, aw::ShapeSelection::Macros)) {
            facts.findings.push_back({QStringLiteral("shape_macro"), row.sheetName, row.name, row.macro});
            ++facts.shapesWithMacros;
        }
    }
}

// The names list's count, and every name of an Excel 4 macro that runs on
// its own; the hidden names that only tie a button to a VBA procedure run
// nothing by themselves.
void addNames(const host::Workbook& book, FileFacts& facts) {
    for (const int position : aw::nameCollection(book)) {
        const host::Name name = book.name(position);
        if (aw::isListedName(name)) ++facts.definedNames;
        const QString full = name.name();
        const QString occasion = nameOccasion(full.section(u'!', -1));
        if (!occasion.isEmpty())
            facts.findings.push_back({QStringLiteral("autorun"), full.contains(u'!') ? full.section(u'!', 0, -2) : QString(),
                                      full.section(u'!', -1), occasion});
    }
}

bool isAddInFile(const QString& path) {
    return path.endsWith(QLatin1String(".xla"), Qt::CaseInsensitive) ||
           path.endsWith(QLatin1String(".xlam"), Qt::CaseInsensitive);
}

// The link sources as the object list lists them.
void addLinks(const host::Workbook& book, const PathMap& realPath, FileFacts& facts) {
    for (const QString& source : book.linkSources(host::LinkExcel)) {
        const QString target = realPath(source);
        facts.findings.push_back({QStringLiteral("link"), {}, {}, target});
        if (isAddInFile(target)) facts.findings.push_back({QStringLiteral("addin"), {}, {}, target});
        ++facts.externalLinks;
    }
    for (const QString& source : book.linkSources(host::LinkOle)) {
        facts.findings.push_back({QStringLiteral("dde_ole"), {}, {}, source});
        ++facts.externalLinks;
    }
    for (const QString& function : book.model().addInFunctions)
        facts.findings.push_back({QStringLiteral("addin"), {}, function, {}});
}

}  // namespace

void addWorkbookFacts(const host::Workbook& book, const PathMap& realPath, FileFacts& facts) {
    const model::Book& model = book.model();
    facts.format = model.format.name;
    // Nothing asks for a password: a decrypted workbook opened with the default one.
    facts.encrypted = facts.defaultPassword = model.encrypted;
    facts.warnings = book.warnings();
    addSheets(book, facts);
    addNames(book, facts);
    addLinks(book, realPath, facts);
}

QString nameOccasion(const QString& name) {
    static const std::pair<const char*, const char*> prefixes[] = {
        {"auto_open", "open"}, {"auto_close", "close"}, {"auto_activate", "activate"},
        {"auto_deactivate", "deactivate"}};
    // Excel runs every name that begins so ("Auto_Open_Menu", "auto_open2").
    for (const auto& [prefix, occasion] : prefixes)
        if (name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive)) return QLatin1String(occasion);
    return {};
}

}  // namespace tabulon::inventory
