#include "analyses/workbook/WorkbookCommand.h"

#include "intake/Rounding.h"

#include <algorithm>

namespace tabulon::analyses::workbook {

const host::Workbook& openWorkbook(const WorkbookContext& ctx) {
    if (ctx.base.reopenWorkbook) ctx.base.reopenWorkbook();
    const host::Workbook* book = ctx.workbook ? ctx.workbook() : nullptr;
    if (!book)
        throw Error(err::ObjectMissing, QStringLiteral("オブジェクト変数が設定されていません。"));
    return *book;
}

int walkedSheetCount(const WorkbookContext& ctx, const host::Workbook& book) {
    return std::max(0, book.sheetCount() - ctx.moduleSheetCount);
}

int sheetProgress(int i, int n) {
    if (n <= 0) return 100;
    return int(intake::roundHalfUp(100.0 * i / n, 0));
}

}  // namespace tabulon::analyses::workbook
