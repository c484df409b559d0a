#pragma once
// frmTabulon, the main window. It shows the session's state, forwards every
// button and menu click to the command registered under the control's name,
// and owns what is the window's own: start-up, shutdown, the cover defaults
// button, the status line, the progress gauge and Timer1.
#include "app/WindowPorts.h"
#include "intake/MessageText.h"
#include "intake/Session.h"

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

namespace Ui { class frmTabulon; }
class QAbstractButton;

namespace tabulon::app {

class FrmTabulon : public QMainWindow {
    Q_OBJECT
public:
    // `messages` replaces the message boxes (tests answer them by script);
    // the window does not own it.
    explicit FrmTabulon(intake::Session& session, MessagePort* messages = nullptr,
                        QWidget* parent = nullptr);
    ~FrmTabulon() override;

    // A command behind a button or menu item, by control name without the
    // index ("cmdKansu", "cmdHyousi", "RecentFile", "m1a", ...); `index` is
    // the array index of the control, 0 for single controls. Controls with no
    // command do nothing when clicked.
    using Command = std::function<void(int index)>;
    void setCommand(const QString& name, Command command);
    // Run as the last start-up step (a saved result named on the command line).
    void setStartupStep(std::function<void()> step);
    // Run at shutdown after the working files are deleted (closing what the
    // commands opened). Errors in it are ignored, as in every shutdown step.
    void addShutdownStep(std::function<void()> step);
    // Ends the process after shutdown; QCoreApplication::quit by default.
    void setEndProcess(std::function<void()> end);

    // Start-up once the caller holds the instance lock: the fixed paths, the
    // window position, recent files and cover defaults from the settings,
    // the start states of the commands, then the start-up step.
    void Form_Load();
    void m1z_Click();  // File > 終了, with OK/Cancel
    void cmdSave_Click();
    // True once shutdown has run (the Exit confirmation was accepted, or the
    // window was closed); the process is to end.
    bool hasEnded() const { return ended_; }

    intake::Session& session() { return session_; }
    MessagePort& messages() { return *messages_; }
    ProgressPort& progress() { return *progress_; }
    intake::CommandShell shell();
    // Commands that have just shown a preview start it: the status line is
    // cleared five seconds later.
    void startTimer1();
    // After a chapter's command has shown its report: the hint to close the
    // preview after printing, in the status line until Timer1 clears it.
    void previewShown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void wireButtons();
    void wireOptions();
    void wireFields();
    void installFilters();
    void layoutGauge();
    void giveCaptionsRoom();
    void applyStates();
    void applyCover();
    void applyLists();
    void showRecentFiles();
    void coverEdited();
    void runCommand(const QString& name, int index);
    void shutdown();
    void timer1Fired();

    intake::Session& session_;
    std::unique_ptr<Ui::frmTabulon> ui_;
    std::unique_ptr<BoxMessages> ownMessages_;
    MessagePort* messages_;
    std::unique_ptr<WindowProgress> progress_;
    QTimer* timer1_;
    std::map<QString, Command> commands_;
    std::function<void()> startupStep_;
    std::vector<std::function<void()>> shutdownSteps_;
    std::function<void()> endProcess_;
    std::map<QObject*, QString> hoverTexts_;
    bool ended_ = false;
};

}  // namespace tabulon::app
