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

constexpr int kDatabaseMissing = 7866;
constexpr int kCannotCreateObject = 429;
const QString kPlace = QStringLiteral("場所:レポート表示");

}  // namespace

void ReportEngine::openCurrentDatabase(const QString& path) {
    if (!current_.isEmpty())
        throw Error(err::DbAlreadyCurrent, QStringLiteral("データベースは既に開いています"));
    if (!QFileInfo(path).isFile())
        throw Error(kDatabaseMissing, QStringLiteral("データベース %1 が見つかりません").arg(path));
    current_ = path;
}

void ReportEngine::openReport(const QString& name) {
    if (current_.isEmpty())
        throw Error(kDatabaseMissing, QStringLiteral("現在のデータベースがありません"));
    std::shared_ptr<ReportDocument> doc;
    {
        auto db = store::Database::open(current_);
        doc = ReportDocument::load(*db, name);
    }
    preview_.show(std::move(doc));
}

ReportService::ReportService(PreviewPort& preview, MessagePort& messages)
    : preview_(preview), messages_(messages) {}

void ReportService::replaceEngine(const QString& dbPath) {
    engine_ = std::make_unique<ReportEngine>(preview_);
    ++created_;
    try {
        engine_->openCurrentDatabase(dbPath);
    } catch (const Error&) {
        // The report open that follows fails and reports it.
    }
}

void ReportService::showReport(const QString& dbPath, const QString& name, int) {
    int opened = 0;
    try {
        if (engine_) engine_->openCurrentDatabase(dbPath);
    } catch (const Error& e) {
        opened = e.number();
    }
    // An engine that already has a current database keeps printing from it:
    // after a saved result was loaded, reports show the saved tables.
    if (opened != err::DbAlreadyCurrent && opened != kCannotCreateObject) replaceEngine(dbPath);
    if (const auto failure = guardedRun(kPlace, [&] { engine_->openReport(name); }))
        reportFailure(messages_, failure->number(), failure->text());
}

void ReportService::startEngine() {
    engine_ = std::make_unique<ReportEngine>(preview_);
    ++created_;
}

void ReportService::openResults(const QString& path) {
    engine_ = std::make_unique<ReportEngine>(preview_);
    ++created_;
    engine_->openCurrentDatabase(path);
}

void ReportService::close() { engine_.reset(); }

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
    if (!text.isEmpty()) messages.message(text, Buttons::Ok);
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
