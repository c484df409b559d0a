// Seeds 100,000 formula rows into T_XlCalc and times the cell list report:
// seconds until page 1 is painted (what the preview waits for) and pages per
// second for the whole report written as PDF.
#include "reports/PdfOutput.h"
#include "reports/ReportDocument.h"
#include "store/Database.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

using namespace tabulon;

namespace {

// Processor seconds of this process: the figure that does not depend on how
// busy the machine is.
double cpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

void seed(const QString& path, int rows) {
    auto db = store::Database::open(path);
    {
        auto t = db->openTable(QStringLiteral("T_XlCalc"));
        for (int i = 0; i < rows; ++i) {
            const int sheet = i / 5000 + 1;
            t->addNew();
            t->set(QStringLiteral("Label"), 1);
            t->set(QStringLiteral("SheetMei"), QStringLiteral("売上シート%1").arg(sheet));
            t->set(QStringLiteral("objectNo"), sheet);
            t->set(QStringLiteral("StCell"), QStringLiteral("B%1").arg(i % 5000 + 1));
            t->set(QStringLiteral("CalcName"),
                   i % 7 == 0 ? QStringLiteral("=IF(ISERROR(VLOOKUP(A%1,単価表!$A$1:$D$500,4,FALSE)),0,"
                                               "VLOOKUP(A%1,単価表!$A$1:$D$500,4,FALSE)*C%1)").arg(i)
                              : QStringLiteral("=SUM(C%1:F%1)*1.08").arg(i));
            t->update();
        }
    }
    db->commit();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? QString(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tabulon2.mdb"));
    store::Database::create(path);
    QElapsedTimer timer;
    timer.start();
    seed(path, rows);
    std::printf("seeded %d rows into T_XlCalc in %.2f s\n", rows, timer.elapsed() / 1000.0);

    timer.restart();
    double cpu = cpuSeconds();
    std::shared_ptr<reports::ReportDocument> doc;
    {
        auto db = store::Database::open(path);
        std::printf("database open: %.3f s\n", timer.elapsed() / 1000.0);
        doc = reports::ReportDocument::load(*db, QStringLiteral("R_XlCalc"));
    }
    const double loaded = timer.elapsed() / 1000.0;
    doc->ensurePage(0);
    QImage page(1240, 877, QImage::Format_RGB32);  // A4 landscape at 106 dpi
    page.fill(Qt::white);
    page.setDotsPerMeterX(4173);
    page.setDotsPerMeterY(4173);
    {
        QPainter p(&page);
        doc->paintPageOn(p, page, 0);
    }
    std::printf("first page: %.3f s, %.3f s processor (rows read in %.3f s)\n",
                timer.elapsed() / 1000.0, cpuSeconds() - cpu, loaded);

    timer.restart();
    const int pages = doc->layoutAll();
    const double paginated = timer.elapsed() / 1000.0;
    std::printf("pagination of %d pages: %.2f s\n", pages, paginated);

    timer.restart();
    cpu = cpuSeconds();
    const int written = reports::writePdf({doc}, dir.filePath(QStringLiteral("calc.pdf")));
    const double seconds = timer.elapsed() / 1000.0;
    const double cpuPdf = cpuSeconds() - cpu;
    std::printf("PDF: %d pages in %.2f s = %.0f pages/s (%.2f s processor = %.0f pages/s)\n",
                written, seconds, written / seconds, cpuPdf, written / cpuPdf);
    return 0;
}
