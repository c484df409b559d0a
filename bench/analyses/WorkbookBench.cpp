// Speed of the two cell-by-cell chapters on one workbook: the reader's bare
// load, then the detailed object inventory and the formula list with their
// rows committed, then the first page of R_XlCalc laid out and painted as the
// preview shows it. Prints one "timing" line for bench_workbook_chapters.sh.
//
//   bench_workbook_chapters WORKBOOK.xls
#include "analyses/workbook/CellInventory.h"
#include "analyses/workbook/ObjectInventory.h"
#include "reports/ReportDocument.h"
#include "store/Database.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

using namespace tabulon;
using namespace tabulon::analyses::workbook;
using tabulon::intake::ObjectOption;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_workbook_chapters WORKBOOK.xls\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("Tabulon2.mdb"));
    store::Database::create(db);

    QElapsedTimer clock;
    clock.start();
    const host::Workbook book = host::Workbook::load(QString::fromLocal8Bit(argv[1]));
    const double loadS = clock.nsecsElapsed() / 1e9;

    SilentMessages messages;
    SilentProgress progress;
    const WorkbookContext ctx{db, messages, progress, [&] { return &book; }, {}, {}};
    clock.restart();
    const CodeOutcome objects = runObjectInventory(ctx, {ObjectOption::DetailedObjects, 0});
    const double objectS = clock.nsecsElapsed() / 1e9;
    int sheetMark = 0;
    QString remembered;
    CellOptions cells;
    cells.cellOption = tabulon::intake::CellOption::Formulas;
    const CodeOutcome formulas = runCellInventory(ctx, cells, sheetMark, remembered);
    const double chaptersS = clock.nsecsElapsed() / 1e9;
    if (objects.end != CodeOutcome::End::Report || formulas.end != CodeOutcome::End::Report) {
        std::fprintf(stderr, "a chapter failed: %s%s\n", qPrintable(objects.message), qPrintable(formulas.message));
        return 1;
    }

    clock.restart();
    auto database = store::Database::open(db);
    auto document = reports::ReportDocument::load(*database, QStringLiteral("R_XlCalc"));
    const double readS = clock.nsecsElapsed() / 1e9;
    document->ensurePage(0);
    QImage page(1123, 794, QImage::Format_ARGB32);  // A4 landscape at 96 dpi
    page.fill(Qt::white);
    QPainter painter(&page);
    document->paintPageOn(painter, page, 0);
    painter.end();
    const double firstPageS = clock.nsecsElapsed() / 1e9;

    qint64 cellsTotal = 0;
    for (const host::Sheet& sheet : documentedSheets(book)) cellsTotal += sheet.usedRange().count();
    std::printf("rows objects=%d formulas=%d used_cells=%lld\n", objects.rows, formulas.rows,
                static_cast<long long>(cellsTotal));
    std::printf("timing load_s=%.3f chapters_s=%.3f first_page_s=%.3f\n", loadS, chaptersS, firstPageS);
    std::printf("parts object_list_s=%.3f formula_list_s=%.3f report_rows_read_s=%.3f\n", objectS,
                chaptersS - objectS, readS);
    return 0;
}
