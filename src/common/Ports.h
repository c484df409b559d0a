#pragma once
// What a command needs from whoever runs it. The window answers with widgets,
// the command line with the terminal, the tests with scripted answers; the
// commands themselves never see a widget.
#include <QString>

namespace tabulon {

enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

// Every message box of the system goes through here, titled
// "Tabulon2000 Ver 1.1" by the implementation. Three kinds: a message (what
// a command tells or asks as it goes), an error (a command failed), and a
// refusal (the user's input cannot be used, with the reason in plain words).
// A window shows all three as boxes; a terminal tells them apart.
class MessagePort {
public:
    virtual ~MessagePort() = default;
    virtual Answer message(const QString& text, Buttons buttons = Buttons::Ok) = 0;
    virtual void error(const QString& text) { message(text, Buttons::Ok); }
    // `detail` is the technical account for whoever looks into it (a
    // details section of the box, or the log); it may be empty.
    virtual void refusal(const QString& text, const QString& detail) {
        (void)detail;
        error(text);
    }
};

// Status line, progress gauge and busy state of the running command.
class ProgressPort {
public:
    virtual ~ProgressPort() = default;
    virtual void status(const QString& text) = 0;        // the status line
    virtual void progress(int percent) = 0;             // percentage and gauge
    virtual void showGauge(bool visible) = 0;           // gauge shown or hidden
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
