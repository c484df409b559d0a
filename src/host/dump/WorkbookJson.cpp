#include "host/dump/WorkbookJson.h"

#include "host/CellDisplay.h"
#include "common/Error.h"

#include <QDateTime>
#include <QJsonArray>

namespace tabulon::host {

namespace {

QJsonValue jsonValue(const QVariant& v) {
    if (!v.isValid()) return QJsonValue::Null;
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().toString(Qt::ISODate);
    return QJsonValue::fromVariant(v);
}

QString kindText(SheetKind k) {
    switch (k) {
    case SheetKind::Chart: return QStringLiteral("chart");
    case SheetKind::MacroSheet: return QStringLiteral("macro sheet");
    case SheetKind::Dialog: return QStringLiteral("dialog");
    default: return QStringLiteral("worksheet");
    }
}

QJsonObject propertiesJson(const Workbook& book) {
    QJsonObject props;
    for (int p = 1; p <= 30; ++p) {
        try {
            const QVariant v = book.builtinProperty(p);
            if (v.isValid()) props.insert(QString::number(p), jsonValue(v));
        } catch (const Error&) {
            // a date the file does not hold: left out
        }
    }
    return props;
}

QJsonObject sheetJson(const Sheet& sheet) {
    QJsonObject s;
    s.insert(QStringLiteral("name"), sheet.name());
    s.insert(QStringLiteral("kind"), kindText(sheet.kind()));
    s.insert(QStringLiteral("visible"), sheet.visible());
    const Range used = sheet.usedRange();
    s.insert(QStringLiteral("usedRange"), QJsonObject{{QStringLiteral("address"), used.address()},
                                                      {QStringLiteral("rows"), used.rowCount()},
                                                      {QStringLiteral("columns"), used.columnCount()},
                                                      {QStringLiteral("count"), used.count()}});
    s.insert(QStringLiteral("protect"), QJsonObject{{QStringLiteral("contents"), sheet.protectContents()},
                                                    {QStringLiteral("password"), sheet.hasPassword()}});
    const PageSetup ps = sheet.pageSetup();
    s.insert(QStringLiteral("pageSetup"), QJsonObject{{QStringLiteral("printTitleRows"), ps.printTitleRows},
                                                      {QStringLiteral("printTitleColumns"), ps.printTitleColumns},
                                                      {QStringLiteral("printArea"), ps.printArea},
                                                      {QStringLiteral("printHeadings"), ps.printHeadings},
                                                      {QStringLiteral("zoom"), jsonValue(ps.zoom)}});
    QJsonArray cells;
    used.forEach([&](const Cell& c) {
        if (c.isEmpty() && c.formula().isEmpty() && c.noteText().isEmpty()) return true;
        QJsonObject cell{{QStringLiteral("address"), c.address()},
                         {QStringLiteral("value"), jsonValue(c.value())},
                         {QStringLiteral("isError"), c.isError()},
                         {QStringLiteral("formula"), c.formula()}};
        cell.insert(QStringLiteral("text"), sheet.display(c).text);
        if (!c.noteText().isEmpty()) cell.insert(QStringLiteral("note"), c.noteText());
        cells.append(cell);
        return true;
    });
    s.insert(QStringLiteral("cells"), cells);
    QJsonArray shapes;
    for (const model::Shape& sh : sheet.shapes())
        shapes.append(QJsonObject{{QStringLiteral("name"), sh.name}, {QStringLiteral("onAction"), sh.onAction},
                                  {QStringLiteral("fillRGB"), sh.fillColor.officeNumber()},
                                  {QStringLiteral("dashStyle"), sh.dashStyle},
                                  {QStringLiteral("text"), sh.text}});
    s.insert(QStringLiteral("shapes"), shapes);
    return s;
}

QJsonArray namesJson(const Workbook& book) {
    QJsonArray names;
    for (int i = 1; i <= book.nameCount(); ++i) {
        const Name n = book.name(i);
        QJsonObject o{{QStringLiteral("name"), n.name()}, {QStringLiteral("refersTo"), n.refersTo()},
                      {QStringLiteral("visible"), n.visible()}};
        try {
            o.insert(QStringLiteral("address"), n.refersToRangeAddress());
        } catch (const Error&) {
            o.insert(QStringLiteral("address"), QJsonValue::Null);
        }
        names.append(o);
    }
    return names;
}

}  // namespace

QJsonObject workbookJson(const Workbook& book) {
    QJsonObject root;
    root.insert(QStringLiteral("fullName"), book.fullName());
    root.insert(QStringLiteral("format"), book.model().format.text());
    root.insert(QStringLiteral("codePage"), book.model().codePage);
    root.insert(QStringLiteral("properties"), propertiesJson(book));
    QJsonArray sheets;
    for (int i = 1; i <= book.sheetCount(); ++i) sheets.append(sheetJson(book.sheet(i)));
    root.insert(QStringLiteral("sheets"), sheets);
    root.insert(QStringLiteral("names"), namesJson(book));
    root.insert(QStringLiteral("links"), QJsonObject{{QStringLiteral("excel"), QJsonArray::fromStringList(book.linkSources(LinkExcel))},
                                                     {QStringLiteral("ole"), QJsonArray::fromStringList(book.linkSources(LinkOle))}});
    QJsonArray ribbon;  // the workbook's own ribbon: the macros its controls run
    for (const model::RibbonAction& a : book.model().ribbonActions)
        ribbon.append(QJsonObject{{QStringLiteral("control"), a.control}, {QStringLiteral("label"), a.label},
                                  {QStringLiteral("onAction"), a.macro}});
    root.insert(QStringLiteral("ribbonActions"), ribbon);
    root.insert(QStringLiteral("warnings"), QJsonArray::fromStringList(book.warnings()));
    return root;
}

}  // namespace tabulon::host
