#include "analyses/workbook/CellInventory.h"

#include "analyses/workbook/ObjectInventory.h"
#include "analyses/workbook/WorkbookText.h"
#include "store/Database.h"
#include "store/AnalysisTables.h"

namespace tabulon::analyses::workbook {

CalcRows::CalcRows(store::Database& db) : table_(db.openTable(QStringLiteral("T_XlCalc"))) {}
CalcRows::~CalcRows() = default;

void CalcRows::add(const CalcRow& row) {
    table_->addNew();
    table_->set(QStringLiteral("Label"), row.label);
    table_->set(QStringLiteral("SheetMei"), row.sheetMei);
    table_->set(QStringLiteral("objectNo"), row.objectNo);
    table_->set(QStringLiteral("StCell"), row.stCell);
    if (!row.calcName.isNull()) table_->set(QStringLiteral("CalcName"), row.calcName);
    if (!row.noteName.isNull()) table_->set(QStringLiteral("NoteName"), row.noteName);
    table_->update();
    ++written_;
}

QString storedFormula(const host::Cell& cell) { return trimBlanks(cell.formula()); }
QString storedAddress(const host::Cell& cell) { return StrDel(cell.address(), QStringLiteral("$")); }

namespace {

// Walks one sheet's used range and adds the rows of the list `option`;
// `tick` is told the 0-based index of every visited cell.
template <class Tick>
void walkSheet(const host::Sheet& sheet, intake::CellOption option, const QString& sheetMei, qint64 objectNo,
               CalcRows& rows, Tick&& tick) {
    using intake::CellOption;
    const bool formulas = option != CellOption::Comments;
    const bool notes = option != CellOption::Formulas;
    qint64 index = 0;
    sheet.usedRange().forEach([&](const host::Cell& cell) {
        tick(index++);
        const bool formula = formulas && cell.beginsWithEquals();
        const bool note = notes && !cell.noteText().isEmpty();
        if ((formulas && !formula) || (notes && !note))
            return true;
        // The row's label is the option's stored number.
        CalcRow row{int(option), sheetMei, objectNo, storedAddress(cell), QString(), QString()};
        if (formulas) row.calcName = storedFormula(cell);
        if (notes) row.noteName = trimTrailingBlanks(cutChars(cell.noteText(), 130));
        rows.add(row);
        return true;
    });
}

}  // namespace

CodeOutcome runCellInventory(const WorkbookContext& ctx, const CellOptions& o, int& sheetMark,
                             QString& remembered) {
    CodeOutcome out;
    out.doneMark = o.cellMark;
    sheetMark = o.sheetMark;
    remembered = o.rememberedSheet;
    code::GuardRules rules{CellPlace, false};
    code::runGuarded(ctx.messages, CellPlace, out, [&] {
        const bool same = o.cellMark == int(o.cellOption) && o.sheetMark == int(o.sheetSelection) &&
                          o.selectedSheet == o.rememberedSheet;
        if (!same) {
            const host::Workbook& book = openWorkbook(ctx);
            auto db = store::Database::open(ctx.databasePath);
            store::CommandScope scope(*db);
            GatherScope busy(ctx.progress);
            db->clearTable(QStringLiteral("T_XlCalc"));
            out.doneMark = 0;
            sheetMark = 0;
            out.collected = true;
            ctx.progress.status(QStringLiteral("セル情報　取得中"));
            CalcRows rows(*db);
            if (o.sheetSelection == intake::SheetSelection::SelectedSheet) {
                remembered = o.selectedSheet;
                const host::Sheet sheet = book.sheet(o.selectedSheet);
                const qint64 total = sheet.usedRange().count();
                int shown = 0;
                walkSheet(sheet, o.cellOption, o.selectedSheet, 1, rows, [&](qint64 index) {
                    const int p = percentOf(index + 1, total);
                    if (p != shown) ctx.progress.progress(shown = p);
                });
            } else {
                const std::vector<host::Sheet> sheets = documentedSheets(book);
                const qint64 n = qint64(sheets.size());
                qint64 objectNo = 0;
                for (const host::Sheet& sheet : sheets) {
                    ++objectNo;
                    walkSheet(sheet, o.cellOption, cutTrim(sheet.name(), 130), objectNo, rows, [](qint64) {});
                    ctx.progress.progress(percentOf(objectNo, n));
                }
            }
            out.rows = int(rows.written());
        }
        announceFinished(ctx.progress);
        out.doneMark = int(o.cellOption);
        sheetMark = int(o.sheetSelection);
        out.end = CodeOutcome::End::Report;
    }, rules);
    return out;
}

}  // namespace tabulon::analyses::workbook
