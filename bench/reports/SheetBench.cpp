// Sheet print image throughput on a million-cell sheet: the page count after
// intake, the first page painted, pages per second into a PDF, and the peak
// memory beside the file size. Writes its own workbook (62,500 rows of 16
// columns: numbers, shared texts and long texts) unless given one.
//
//   bench_sheet [FILE.xls [SHEET]] [--pages N]   (N: PDF pages to time, default 200;
//                                                 a missing FILE is written first)
#include "host/Workbook.h"
#include "reports/sheet/SheetDocument.h"
#include "xlswriter/XlsWriter.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <cstdio>

using namespace tabulon;

namespace {

QString writeWorkbook(const QString& path) {
    xlsw::XlsWriter w;
    xlsw::XlsSheet& s = w.addSheet(QStringLiteral("明細"));
    for (int r = 0; r < 62500; ++r)
        for (int c = 0; c < 16; ++c) {
            if (c % 4 == 1) s.text(r, c, QStringLiteral("品目%1").arg(r % 500));
            else s.number(r, c, r * 16.0 + c + 0.25);
        }
    w.save(path);
    return path;
}

long peakKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int pages = 200;
    if (const qsizetype i = args.indexOf(QStringLiteral("--pages")); i >= 0 && i + 1 < args.size()) {
        pages = args[i + 1].toInt();
        args.remove(i, 2);
    }
    QTemporaryDir dir;
    // A FILE that does not exist yet is written and kept, to be timed again
    // (or profiled) without writing it each time.
    const QString file = args.isEmpty()                   ? writeWorkbook(dir.filePath(QStringLiteral("large.xls")))
                         : !QFileInfo::exists(args[0]) ? writeWorkbook(args[0])
                                                         : args[0];
    const double fileMb = QFileInfo(file).size() / 1048576.0;

    QElapsedTimer t;
    t.start();
    const host::Workbook book = host::Workbook::load(file);
    const qint64 intakeMs = t.restart();
    const host::Sheet sheet = args.size() > 1 ? book.sheet(args[1]) : book.sheet(1);
    auto doc = std::make_shared<reports::sheet::SheetDocument>(book, sheet, 100);
    const int total = doc->pagesKnown();
    const qint64 countMs = t.restart();
    QImage img(827, 1169, QImage::Format_RGB32);
    img.setDotsPerMeterX(3937);
    img.setDotsPerMeterY(3937);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        doc->paintPageOn(p, img, 0);
    }
    const qint64 firstMs = t.restart();

    // The same pages onto an image, to tell painting from PDF writing.
    for (int i = 0; i < std::min(pages, total); ++i) {
        QPainter p(&img);
        doc->paintPageOn(p, img, i);
    }
    const qint64 imageMs = std::max<qint64>(1, t.restart());

    QPdfWriter pdf(dir.filePath(QStringLiteral("sheet.pdf")));
    pdf.setResolution(1200);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter painter(&pdf);
    const int timed = std::min(pages, total);
    for (int i = 0; i < timed; ++i) {
        if (i > 0) pdf.newPage();
        doc->paintPageOn(painter, pdf, i);
    }
    painter.end();
    const qint64 pdfMs = std::max<qint64>(1, t.elapsed());

    std::printf("file %.1f MB, %lld cells read in %lld ms\n", fileMb,
                (long long)book.model().sheets[size_t(sheet.index() - 1)].cells.size(), (long long)intakeMs);
    std::printf("page count %d in %lld ms (target 2000 ms)\n", total, (long long)countMs);
    std::printf("first page painted in %lld ms (target 1000 ms)\n", (long long)firstMs);
    std::printf("PDF: %d pages in %lld ms = %.1f pages/s (target 50)\n", timed, (long long)pdfMs,
                timed * 1000.0 / pdfMs);
    std::printf("(the same pages painted onto an image: %.1f pages/s)\n", std::min(pages, total) * 1000.0 / imageMs);
    std::printf("peak memory %.0f MB (limit 3 x file + 200 = %.0f MB)\n", peakKb() / 1024.0, 3 * fileMb + 200);
    return 0;
}
