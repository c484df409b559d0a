#include "analyses/workbook/TimeEstimate.h"

#include <cmath>

namespace tabulon::analyses::workbook {

qint64 usedCellTotal(const host::Workbook& book) {
    qint64 total = 0;
    for (const host::Sheet& sheet : documentedSheets(book))
        total += sheet.usedRange().count();
    return total;
}

QString estimateText(qint64 cells) {
    const double minutes = std::floor(double(cells) / double(kCellsPerMinute) + 0.5);
    const QString last = cells < kCellsPerMinute
                             ? QStringLiteral("1分未満で終わります。")
                             : QStringLiteral("約%1分かかります。").arg(qint64(minutes));
    return QStringLiteral("オブジェクト(詳細)及びセル情報の処理時間は\rCPU:Pentium(133)､RAM:48MBクラスで\r") + last;
}

CodeOutcome runTimeEstimate(const WorkbookContext& ctx) {
    CodeOutcome out;
    code::runGuarded(ctx.messages, TimeCheckPlace, out, [&] {
        qint64 cells = 0;
        {
            BusyGuard busy(ctx.progress);
            cells = usedCellTotal(openWorkbook(ctx));
        }
        out.message = estimateText(cells);
        ctx.messages.message(out.message);
        out.end = CodeOutcome::End::Report;
    });
    return out;
}

}  // namespace tabulon::analyses::workbook
