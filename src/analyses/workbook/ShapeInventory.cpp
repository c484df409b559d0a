#include "analyses/workbook/ShapeInventory.h"

#include "common/Blanks.h"
#include "store/Database.h"
#include "store/AnalysisTables.h"

namespace tabulon::analyses::workbook {

namespace {

// A drawing of the Office shapes by its shape type (MSOSPT).
QString officeShapeKind(int shapeType) {
    switch (shapeType) {
    case 0: return QStringLiteral("フリーフォーム");
    case 1:
    case 2: return QStringLiteral("四角形");
    case 3: return QStringLiteral("楕円");
    case 20:
    case 32: return QStringLiteral("直線");
    case 75: return QStringLiteral("ピクチャ");
    case 201: return QStringLiteral("コントロール");
    case 202: return QStringLiteral("ﾃｷｽﾄﾎﾞｯｸｽ");
    default: return QStringLiteral("ｵｰﾄｼｪｲﾌﾟ");
    }
}

}  // namespace

// The object types of the OBJ record (MS-XLS 2.5.143 ot).
QString ShapeKindName(const xls::ShapeModel& shape) {
    switch (shape.kind) {
    case 0x00: return QStringLiteral("グループ");
    case 0x01: return QStringLiteral("直線");
    case 0x02: return QStringLiteral("四角形");
    case 0x03: return QStringLiteral("楕円");
    case 0x04: return QStringLiteral("円弧");
    case 0x05: return QStringLiteral("グラフ");
    case 0x06: return QStringLiteral("ﾃｷｽﾄﾎﾞｯｸｽ");
    case 0x07: return QStringLiteral("ボタン");
    case 0x08: return QStringLiteral("ピクチャ");
    case 0x09: return QStringLiteral("フリーフォーム");
    case 0x0B: return QStringLiteral("チェックボックス");
    case 0x0C: return QStringLiteral("オプションボタン");
    case 0x0D: return QStringLiteral("エディットボックス");
    case 0x0E: return QStringLiteral("ラベル");
    case 0x0F: return QStringLiteral("ダイアログ");
    case 0x10: return QStringLiteral("スピンボタン");
    case 0x11: return QStringLiteral("スクロールバー");
    case 0x12: return QStringLiteral("リストボックス");
    case 0x13: return QStringLiteral("グループボックス");
    case 0x14: return QStringLiteral("ドロップダウン");
    case 0x19: return QStringLiteral("コメント");
    case 0x1E: return officeShapeKind(shape.shapeType);
    default: return QStringLiteral("その他の図形");
    }
}

bool readsShapeText(const xls::ShapeModel& shape) {
    return shape.hasText && !shape.isComment;
}

QString colorText(int rgb) {
    const int r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    return QStringLiteral("#%1%2%3")
        .arg(r, 2, 16, QLatin1Char('0'))
        .arg(g, 2, 16, QLatin1Char('0'))
        .arg(b, 2, 16, QLatin1Char('0'))
        .toUpper();
}

// The reader gives the Office dash style scale; the names of the dotted,
// dashed and dash-dot families are the ones the shape list always used.
QString LineStyleName(int dashStyle, bool lineVisible) {
    if (!lineVisible) return QStringLiteral("線なし");
    switch (dashStyle) {
    case 1: return QStringLiteral("実線");
    case 2: return QStringLiteral("点線");
    case 3: return QStringLiteral("点線（丸）");
    case 4: return QStringLiteral("破線");
    case 5: return QStringLiteral("破線・点線");
    case 6: return QStringLiteral("破線１点線２");
    case 7: return QStringLiteral("長破線");
    case 8: return QStringLiteral("長破線・点線");
    case 9: return QStringLiteral("長破線１点線２");
    default: return kUnrecognisedShapeText;
    }
}

QString macroNameOf(const QString& onAction) {
    qsizetype cut = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < onAction.size(); ++i) {
        if (onAction[i] == u'\'') quoted = !quoted;
        else if (onAction[i] == u'!' && !quoted) cut = i;
    }
    return onAction.mid(cut + 1);
}

bool isListed(ShapeSelection selection, const xls::ShapeModel& shape, const QString& macro) {
    switch (selection) {
    case ShapeSelection::Macros: return !macro.isEmpty();
    case ShapeSelection::All: return true;
    case ShapeSelection::AllButComments: return !shape.isComment;
    }
    return false;
}

// Shapes are taken by position, so two shapes of the same name keep their
// own macro and text; the text is the shape's own, none for a picture or line.
// Every shape is listed, whatever its name: the name is only shown.
std::vector<ShapeRow> shapeRows(const host::Sheet& sheet, int objectNo, ShapeSelection selection) {
    std::vector<ShapeRow> rows;
    for (const xls::ShapeModel& shape : sheet.shapes()) {
        ShapeRow row;
        row.name = trimTrailingBlanks(shape.name);
        row.macro = trimTrailingBlanks(shape.onAction);
        if (!isListed(selection, shape, row.macro)) continue;
        row.objectNo = objectNo;
        row.sheetName = sheet.name();
        row.kind = ShapeKindName(shape);
        if (!row.macro.isEmpty()) row.macro = trimTrailingBlanks(macroNameOf(row.macro));
        row.foreColor = colorText(shape.fillColor);
        row.lineStyle = LineStyleName(shape.dashStyle, shape.lineVisible);
        row.readText = readsShapeText(shape);
        if (row.readText) row.text = shape.text;
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

void writeRow(store::Table& t, const ShapeRow& row, int selection) {
    t.addNew();
    t.set(QStringLiteral("objectNo"), row.objectNo);
    t.set(QStringLiteral("SheetName"), row.sheetName);
    t.set(QStringLiteral("ControlName"), row.name);
    t.set(QStringLiteral("ShapeName"), row.name);
    t.set(QStringLiteral("ShapeType"), row.kind);
    if (!row.macro.isEmpty()) {
        t.set(QStringLiteral("IbentType"), QStringLiteral("ｸﾘｯｸ時"));
        t.set(QStringLiteral("MacroName"), row.macro);
    }
    t.set(QStringLiteral("ForeColor"), row.foreColor);
    t.set(QStringLiteral("LineStyle"), row.lineStyle);
    if (row.readText) t.set(QStringLiteral("TextName"), row.text);
    t.set(QStringLiteral("Label"), selection);
    t.update();
}

}  // namespace

code::CodeOutcome runShapeInventory(const WorkbookContext& ctx, const ShapeOptions& options) {
    code::CodeOutcome out;
    out.doneMark = options.tableSelection;
    code::runGuarded(ctx.messages, ShapePlace, out, [&] {
        if (int(options.selection) != options.tableSelection) {
            const host::Workbook& book = openWorkbook(ctx);
            // From here on the table no longer holds an earlier run's rows.
            out.collected = true;
            collectInto(ctx, QStringLiteral("T_XlShape"), ShapeCollectingText,
                        [&](store::Table& table) {
                const std::vector<host::Sheet> sheets = documentedSheets(book);
                const int n = int(sheets.size());
                for (int i = 1; i <= n; ++i) {
                    for (const ShapeRow& row : shapeRows(sheets[size_t(i - 1)], i, options.selection)) {
                        writeRow(table, row, int(options.selection));
                        ++out.rows;
                    }
                    ctx.progress.progress(sheetProgress(i, n));
                }
            });
        }
        finishChapter(ctx, out, int(options.selection));
    });
    return out;
}

}  // namespace tabulon::analyses::workbook
