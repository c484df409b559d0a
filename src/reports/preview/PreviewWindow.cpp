#include "reports/preview/PreviewWindow.h"

#include "common/Error.h"
#include "reports/PdfOutput.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace tabulon::reports {

// Paints one page at the window's zoom, with a drop shadow on grey.
class PageView : public QWidget {
public:
    explicit PageView(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("pageView"));
    }
    void setPage(const ReportDocument* doc, int page, double pixelsPerMm) {
        doc_ = doc;
        page_ = page;
        scale_ = pixelsPerMm;
        const QSizeF mm = doc ? doc->paperSizeMm() : QSizeF(210, 297);
        setFixedSize(int(mm.width() * scale_) + 2 * kMargin, int(mm.height() * scale_) + 2 * kMargin);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(128, 128, 128));
        if (!doc_) return;
        const QRect paper(kMargin, kMargin, width() - 2 * kMargin, height() - 2 * kMargin);
        p.fillRect(paper.translated(4, 4), QColor(60, 60, 60));
        p.fillRect(paper, Qt::white);
        p.translate(paper.topLeft());
        p.scale(scale_ / kUnitsPerMm, scale_ / kUnitsPerMm);
        doc_->paintPage(p, page_);
    }

private:
    static constexpr int kMargin = 16;
    const ReportDocument* doc_ = nullptr;
    int page_ = 0;
    double scale_ = 3;
};

PreviewWindow::PreviewWindow(MessagePort& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), messages_(messages) {
    setObjectName(QStringLiteral("previewWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* bar = new QHBoxLayout;
    prev_ = new QPushButton(QStringLiteral("◀ 前ページ"));
    next_ = new QPushButton(QStringLiteral("次ページ ▶"));
    prev_->setObjectName(QStringLiteral("cmdPrevPage"));
    next_->setObjectName(QStringLiteral("cmdNextPage"));
    pageLabel_ = new QLabel;
    pageLabel_->setObjectName(QStringLiteral("lblPage"));
    zoomBox_ = new QComboBox;
    zoomBox_->setObjectName(QStringLiteral("cboZoom"));
    const std::pair<const char*, double> zooms[] = {
        {"ページ全体", 0}, {"ページ幅", -1}, {"50%", 0.5}, {"75%", 0.75},
        {"100%", 1.0},     {"150%", 1.5},    {"200%", 2.0}};
    for (const auto& [label, z] : zooms) zoomBox_->addItem(QString::fromUtf8(label), z);
    auto* printButton = new QPushButton(QStringLiteral("印刷..."));
    printButton->setObjectName(QStringLiteral("cmdPrint"));
    auto* pdfButton = new QPushButton(QStringLiteral("PDF保存..."));
    pdfButton->setObjectName(QStringLiteral("cmdSavePdf"));
    auto* closeButton = new QPushButton(QStringLiteral("閉じる"));
    closeButton->setObjectName(QStringLiteral("cmdClosePreview"));
    for (QWidget* w : std::initializer_list<QWidget*>{prev_, pageLabel_, next_, zoomBox_})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(printButton);
    bar->addWidget(pdfButton);
    bar->addWidget(closeButton);

    view_ = new PageView(this);
    scroll_ = new QScrollArea;
    scroll_->setWidget(view_);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    // The fitting zooms follow the room the pages have, whenever it changes
    // (the first show of a maximised window included).
    scroll_->viewport()->installEventFilter(this);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("lblStatus"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(scroll_, 1);
    layout->addWidget(status_);

    layoutTimer_ = new QTimer(this);
    layoutTimer_->setInterval(0);
    connect(layoutTimer_, &QTimer::timeout, this, [this] { layoutMore(); });
    connect(prev_, &QPushButton::clicked, this, [this] { goToPage(page_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { goToPage(page_ + 1); });
    connect(zoomBox_, &QComboBox::currentIndexChanged, this,
            [this](int i) { setZoom(zoomBox_->itemData(i).toDouble()); });
    connect(printButton, &QPushButton::clicked, this, &PreviewWindow::print);
    connect(pdfButton, &QPushButton::clicked, this, &PreviewWindow::saveAsPdf);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    resize(1000, 760);
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::showDocument(std::shared_ptr<ReportDocument> document) {
    doc_ = std::move(document);
    page_ = 0;
    doc_->ensurePage(0);
    setWindowTitle(doc_->definition().title + QStringLiteral(" - 印刷プレビュー"));
    status_->clear();
    refresh();
    // The rest of the pages are found while the user looks at the first.
    if (!doc_->complete()) layoutTimer_->start();
    showMaximized();
    raise();
    activateWindow();
}

void PreviewWindow::layoutMore() {
    if (!doc_ || doc_->layoutSome(40)) layoutTimer_->stop();
    refresh();
}

void PreviewWindow::goToPage(int index) {
    if (!doc_ || index < 0 || !doc_->ensurePage(index)) return;
    page_ = index;
    refresh();
    scroll_->verticalScrollBar()->setValue(0);
}

void PreviewWindow::setZoom(double zoom) {
    zoom_ = zoom;
    refresh();
}

double PreviewWindow::effectiveZoom() const {
    const double screenPxPerMm = logicalDpiX() / 25.4;
    if (zoom_ > 0 || !doc_) return qMax(zoom_, 0.1) * screenPxPerMm;
    const QSizeF paper = doc_->paperSizeMm();
    const QSize room = scroll_->viewport()->size() - QSize(40, 40);
    const double byWidth = room.width() / paper.width();
    return zoom_ < 0 ? byWidth : qMin(byWidth, room.height() / paper.height());
}

void PreviewWindow::refresh() {
    if (!doc_) return;
    view_->setPage(doc_.get(), page_, qMax(0.5, effectiveZoom()));
    const QString total = doc_->complete() ? QString::number(doc_->pagesKnown())
                                           : QStringLiteral("%1…").arg(doc_->pagesKnown());
    pageLabel_->setText(QStringLiteral(" %1 / %2 ページ ").arg(page_ + 1).arg(total));
    prev_->setEnabled(page_ > 0);
    next_->setEnabled(!doc_->complete() || page_ + 1 < doc_->pagesKnown());
}

void PreviewWindow::print() {
    if (!doc_) return;
    printDocument(*doc_, messages_, probe_, [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    });
}

void PreviewWindow::saveAsPdf() {
    if (!doc_) return;
    const QString folder = saveFolder_.isEmpty() ? QDir::homePath() : saveFolder_;
    const QString suggested = QDir(folder).filePath(doc_->definition().title + QStringLiteral(".pdf"));
    const QString path = pdfChooser_ ? pdfChooser_(suggested)
                                     : QFileDialog::getSaveFileName(this, QStringLiteral("PDFとして保存"), suggested,
                                                                    QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty()) return;
    try {
        writePdf({doc_}, path);
    } catch (const Error& e) {
        reportFailure(messages_, e.number(), e.description());
        return;
    }
    saveFolder_ = QFileInfo(path).absolutePath();
    status_->setText(QStringLiteral("PDF を保存しました: %1").arg(QDir::toNativeSeparators(path)));
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageDown: goToPage(page_ + 1); break;
    case Qt::Key_PageUp: goToPage(page_ - 1); break;
    case Qt::Key_Home: goToPage(0); break;
    case Qt::Key_Escape: close(); break;
    default: QWidget::keyPressEvent(event);
    }
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize) refresh();
    return QWidget::eventFilter(watched, event);
}

WidgetPreview::~WidgetPreview() { delete window_; }

void WidgetPreview::show(std::shared_ptr<ReportDocument> document) {
    if (!window_) {
        window_ = new PreviewWindow(messages_);
        window_->setSaveFolder(saveFolder_);
    }
    window_->showDocument(std::move(document));
}

void WidgetPreview::setSaveFolder(const QString& folder) {
    saveFolder_ = folder;
    if (window_) window_->setSaveFolder(folder);
}

}  // namespace tabulon::reports
