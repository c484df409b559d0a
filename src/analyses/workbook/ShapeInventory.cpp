#include "analyses/workbook/ShapeInventory.h"

#include "common/Blanks.h"
#include "store/Database.h"
#include "store/AnalysisTables.h"

namespace tabulon::analyses::workbook {

namespace {

// A drawing of the Office shapes by the outline it is drawn with.
QString autoShapeKind(model::Geometry geometry) {
    switch (geometry) {
    case model::Geometry::Rectangle:
    case model::Geometry::RoundedRectangle: return QStringLiteral("四角形");
    case model::Geometry::Ellipse: return QStringLiteral("楕円");
    case model::Geometry::Line: return QStringLiteral("直線");
    case model::Geometry::Other: break;
    }
    return QStringLiteral("ｵｰﾄｼｪｲﾌﾟ");
}

}  // namespace

QString ShapeKindName(const model::Shape& shape) {
    using model::ShapeKind;
    switch (shape.kind) {
    case ShapeKind::Group: return QStringLiteral("グループ");
    case ShapeKind::Line: return QStringLiteral("直線");
    case ShapeKind::Rectangle: return QStringLiteral("四角形");
    case ShapeKind::Oval: return QStringLiteral("楕円");
    case ShapeKind::Arc: return QStringLiteral("円弧");
    case ShapeKind::Chart: return QStringLiteral("グラフ");
    case ShapeKind::TextBox: return QStringLiteral("ﾃｷｽﾄﾎﾞｯｸｽ");
    case ShapeKind::Button: return QStringLiteral("ボタン");
    case ShapeKind::Picture: return QStringLiteral("ピクチャ");
    case ShapeKind::Polygon: return QStringLiteral("フリーフォーム");
    case ShapeKind::CheckBox: return QStringLiteral("チェックボックス");
    case ShapeKind::OptionButton: return QStringLiteral("オプションボタン");
    case ShapeKind::EditBox: return QStringLiteral("エディットボックス");
    case ShapeKind::Label: return QStringLiteral("ラベル");
    case ShapeKind::DialogFrame: return QStringLiteral("ダイアログ");
    case ShapeKind::Spinner: return QStringLiteral("スピンボタン");
    case ShapeKind::ScrollBar: return QStringLiteral("スクロールバー");
    case ShapeKind::ListBox: return QStringLiteral("リストボックス");
    case ShapeKind::GroupBox: return QStringLiteral("グループボックス");
    case ShapeKind::DropDown: return QStringLiteral("ドロップダウン");
    case ShapeKind::Comment: return QStringLiteral("コメント");
    case ShapeKind::AutoShape: return autoShapeKind(shape.geometry);
    case ShapeKind::Other: break;
    }
    return QStringLiteral("その他の図形");
}

bool readsShapeText(const model::Shape& shape) {
    return shape.hasText && !shape.isComment();
}

// An automatic fill is the window's colour, white.
QString colorText(const model::Color& color) {
    return QStringLiteral("#%1").arg(color.rgbOr(0xFFFFFF), 6, 16, QLatin1Char('0')).toUpper();
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

bool isListed(ShapeSelection selection, const model::Shape& shape, const QString& macro) {
    switch (selection) {
    case ShapeSelection::Macros: return !macro.isEmpty();
    case ShapeSelection::All: return true;
    case ShapeSelection::AllButComments: return !shape.isComment();
    }
    return false;
}

// Shapes are taken by position, so two shapes of the same name keep their
// own macro and text; the text is the shape's own, none for a picture or line.
// Every shape is listed, whatever its name: the name is only shown.
std::vector<ShapeRow> shapeRows(const host::Sheet& sheet, int objectNo, ShapeSelection selection) {
    std::vector<ShapeRow> rows;
    for (const model::Shape& shape : sheet.shapes()) {
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

std::vector<ShapeRow> ribbonRows(const std::vector<model::RibbonAction>& actions, int objectNo) {
    std::vector<ShapeRow> rows;
    for (const model::RibbonAction& action : actions) {
        ShapeRow row;
        row.objectNo = objectNo;
        row.sheetName = QStringLiteral("リボン");
        row.name = action.control;
        row.kind = QStringLiteral("リボンのボタン");
        row.macro = trimTrailingBlanks(macroNameOf(trimTrailingBlanks(action.macro)));
        row.readText = !action.label.isEmpty();
        row.text = action.label;
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
    if (!row.foreColor.isEmpty()) t.set(QStringLiteral("ForeColor"), row.foreColor);
    if (!row.lineStyle.isEmpty()) t.set(QStringLiteral("LineStyle"), row.lineStyle);
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
                for (const ShapeRow& row : ribbonRows(book.model().ribbonActions, n + 1)) {
                    writeRow(table, row, int(options.selection));
                    ++out.rows;
                }
            });
        }
        finishChapter(ctx, out, int(options.selection));
    });
    return out;
}

}  // namespace tabulon::analyses::workbook
