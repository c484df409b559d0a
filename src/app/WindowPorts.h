#pragma once
// The main window's answers to the command ports: message boxes, and the
// status line, gauge and busy state of the window itself.
#include "common/Ports.h"

#include <QPointer>

class QLabel;
class QLineEdit;
class QWidget;

namespace tabulon::app {

// Message boxes titled "Tabulon2000 Ver 1.1"; "\r" separates the lines. A
// refusal's technical detail goes to the box's details section (and the log).
class BoxMessages : public MessagePort {
public:
    explicit BoxMessages(QWidget* owner) : owner_(owner) {}
    Answer message(const QString& text, Buttons buttons) override;
    void refusal(const QString& text, const QString& detail) override;

private:
    QPointer<QWidget> owner_;
};

// txtMesege, lblPer and linGuage of the window; busy = wait cursor and the
// window disabled.
class WindowProgress : public ProgressPort {
public:
    WindowProgress(QWidget* window, QLineEdit* status, QLabel* percent, QWidget* gauge);
    void status(const QString& text) override;
    void progress(int percent) override;
    void showGauge(bool visible) override;
    void busy(bool on) override;

    // Puts the gauge end at `twips` (the length of the line).
    void setGaugeEnd(double twips);
    bool isBusy() const { return busy_; }

private:
    QWidget* window_;
    QLineEdit* status_;
    QLabel* percent_;
    QWidget* gauge_;
    bool busy_ = false;
};

}  // namespace tabulon::app
