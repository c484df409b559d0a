#include "app/WindowPorts.h"

#include "app/Twips.h"
#include "intake/MessageText.h"
#include "intake/Session.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace tabulon::app {

Answer BoxMessages::message(const QString& text, Buttons buttons) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    QMessageBox box(QMessageBox::NoIcon, tabulon::kMessageTitle, shown,
                    buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                 : QMessageBox::Ok,
                    owner_);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

WindowProgress::WindowProgress(QWidget* window, QLineEdit* status, QLabel* percent, QWidget* gauge)
    : window_(window), status_(status), percent_(percent), gauge_(gauge) {}

void WindowProgress::status(const QString& text) { status_->setText(text); }

void WindowProgress::progress(int percent) {
    percent_->setText(intake::percentCaption(percent));
    setGaugeEnd(intake::gaugeEndTwips(percent));
    if (percent != 100) {
        // The command holds the event loop; paint now so the gauge moves.
        percent_->repaint();
        gauge_->repaint();
    }
}

void WindowProgress::setGaugeEnd(double twips) {
    gauge_->setProperty("X2", twips);
    gauge_->resize(twipsToPixels(twips, gauge_->logicalDpiX()), gauge_->height());
}

void WindowProgress::showGauge(bool visible) { gauge_->setVisible(visible); }

void WindowProgress::busy(bool on) {
    if (on == busy_)
        return;
    busy_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    window_->setEnabled(!on);
}

}  // namespace tabulon::app
