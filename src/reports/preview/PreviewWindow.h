#pragma once
// The print preview: one non-modal, maximised window with the pages of the
// report last shown, page turning, zoom, printing and saving as PDF. The next
// report shown replaces the pages in the same window.
#include "common/Ports.h"
#include "reports/ReportEngine.h"

#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QTimer;

namespace tabulon::reports {

class PageView;

class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWindow(MessagePort& messages, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    void showDocument(std::shared_ptr<ReportDocument> document);
    const ReportDocument* document() const { return doc_.get(); }
    int currentPage() const { return page_; }
    void goToPage(int index);
    // Zoom factor, or 0 for "whole page" and -1 for "page width".
    void setZoom(double zoom);
    // Replaces the printer check (tests, machines with odd printer setups).
    void setPrinterProbe(PrinterProbe probe) { probe_ = std::move(probe); }
    // Where the PDF dialog starts until the user has chosen a folder in it.
    void setSaveFolder(const QString& folder) { saveFolder_ = folder; }
    // Replaces the PDF dialog (tests): the chosen path, "" when cancelled.
    void setPdfChooser(std::function<QString(const QString& suggested)> chooser) {
        pdfChooser_ = std::move(chooser);
    }

public slots:
    void print();
    void saveAsPdf();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void layoutMore();
    void refresh();
    double effectiveZoom() const;

    MessagePort& messages_;
    std::shared_ptr<ReportDocument> doc_;
    int page_ = 0;
    double zoom_ = 0;
    PrinterProbe probe_ = printersAvailable;
    QString saveFolder_;
    std::function<QString(const QString&)> pdfChooser_;
    PageView* view_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QLabel* status_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QPushButton* prev_ = nullptr;
    QPushButton* next_ = nullptr;
    QTimer* layoutTimer_ = nullptr;
};

// The window front end's PreviewPort: one preview window, made on first use
// and reused by every later report.
class WidgetPreview : public PreviewPort {
public:
    explicit WidgetPreview(MessagePort& messages) : messages_(messages) {}
    ~WidgetPreview() override;
    void show(std::shared_ptr<ReportDocument> document) override;
    PreviewWindow* window() const { return window_; }
    // Where the PDF dialog starts (the workbook's folder).
    void setSaveFolder(const QString& folder);

private:
    MessagePort& messages_;
    PreviewWindow* window_ = nullptr;
    QString saveFolder_;
};

}  // namespace tabulon::reports
