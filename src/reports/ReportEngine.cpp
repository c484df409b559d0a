#include "reports/ReportEngine.h"

#include "common/Guard.h"
#include "common/Error.h"
#include "common/ErrorText.h"
#include "reports/PdfOutput.h"
#include "store/Database.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace tabulon::reports {

namespace {

const QString kPlace = QStringLiteral("場所:レポート表示");

}  // namespace

ReportService::ReportService(PreviewPort& preview, MessagePort& messages)
    : preview_(preview), messages_(messages) {}

void ReportService::showReport(const QString& dbPath, const QString& name) {
    const auto failure = guardedRun(kPlace, [&] {
        std::shared_ptr<ReportDocument> doc;
        {
            auto db = store::Database::open(results_.isEmpty() ? dbPath : results_);
            doc = ReportDocument::load(*db, name);
        }
        preview_.show(std::move(doc));
    });
    if (failure)
        reportFailure(messages_, failure->number(), failure->text());
}

QString reportFailureText(int number, const QString& description) {
    if (number == err::NoPrinter)
        return kPlace + QStringLiteral("ｴﾗｰNo:") + QString::number(number) + QLatin1Char('\r') +
               QStringLiteral("プリンタドライバが組み込まれていません。") + QLatin1Char('\r') +
               QStringLiteral("プリンタドライバのインストールお願いします。");
    if (number == err::ReportCancelled) return QString();
    return genericErrorText(kPlace, number, description);
}

void reportFailure(MessagePort& messages, int number, const QString& description) {
    const QString text = reportFailureText(number, description);
    if (!text.isEmpty()) messages.error(text);
}

bool printersAvailable() { return !QPrinterInfo::availablePrinters().isEmpty(); }

void printDocument(ReportDocument& doc, MessagePort& messages, const PrinterProbe& probe,
                   const std::function<bool(QPrinter&)>& askUser) {
    try {
        if (!probe())
            throw Error(err::NoPrinter, QStringLiteral("プリンタがありません"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageOrientation(doc.landscape() ? QPageLayout::Landscape : QPageLayout::Portrait);
        printer.setPageSize(portraitPageSize(doc));
        printer.setFullPage(true);
        printer.setFromTo(1, doc.layoutAll());
        if (!askUser(printer))
            throw Error(err::ReportCancelled, QStringLiteral("印刷は取り消されました"));
        paintToPrinter(doc, printer);
    } catch (const Error& e) {
        reportFailure(messages, e.number(), e.description());
    }
}

void paintToPrinter(ReportDocument& doc, QPrinter& printer) {
    const int total = doc.layoutAll();
    int from = 1, to = total;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = qMax(1, printer.fromPage());
        to = qMin(total, printer.toPage());
    }
    QPainter painter;
    if (!painter.begin(&printer))
        throw Error(err::NoPrinter, QStringLiteral("プリンタを開けません"));
    for (int page = from; page <= to; ++page) {
        if (page > from) printer.newPage();
        doc.paintPageOn(painter, printer, page - 1);
    }
}

}  // namespace tabulon::reports
