#pragma once
// What a command needs from whoever runs it. The window answers with widgets,
// the command line with the terminal, the tests with scripted answers; the
// commands themselves never see a widget.
#include <QString>

namespace tabulon {

enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

// Every message box of the system goes through here, titled
// "Tabulon2000 Ver 1.1" by the implementation.
class MessagePort {
public:
    virtual ~MessagePort() = default;
    virtual Answer message(const QString& text, Buttons buttons = Buttons::Ok) = 0;
};

// Status line, progress gauge and busy state of the running command.
class ProgressPort {
public:
    virtual ~ProgressPort() = default;
    virtual void status(const QString& text) = 0;        // txtMesege
    virtual void progress(int percent) = 0;             // lblPer + linGuage
    virtual void showGauge(bool visible) = 0;           // linGuage visibility
    virtual void busy(bool on) = 0;                     // hourglass + window disabled
};

// Ports that swallow everything: for headless runs that want no output.
class SilentMessages : public MessagePort {
public:
    Answer message(const QString&, Buttons) override { return Answer::Ok; }
};
class SilentProgress : public ProgressPort {
public:
    void status(const QString&) override {}
    void progress(int) override {}
    void showGauge(bool) override {}
    void busy(bool) override {}
};

// Busy convention: on for the life of the guard, off again on every exit path.
class BusyGuard {
public:
    explicit BusyGuard(ProgressPort& p) : p_(p) { p_.busy(true); }
    ~BusyGuard() { p_.busy(false); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    ProgressPort& p_;
};

}  // namespace tabulon
