#include "app/WindowPorts.h"

#include "app/Twips.h"
#include "common/Log.h"
#include "intake/MessageText.h"
#include "intake/Session.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

namespace tabulon::app {

namespace {

QString boxLines(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

}  // namespace

Answer BoxMessages::message(const QString& text, Buttons buttons) {
    QMessageBox box(QMessageBox::NoIcon, tabulon::kMessageTitle, boxLines(text),
                    buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                 : QMessageBox::Ok,
                    owner_);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

void BoxMessages::refusal(const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::NoIcon, tabulon::kMessageTitle, boxLines(text), QMessageBox::Ok, owner_);
    if (!detail.isEmpty()) {
        box.setDetailedText(detail);
        logging::write(QStringLiteral("tabulon"), detail);
    }
    box.exec();
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
