#pragma once
// The File menu's results-file commands and the auxiliary menu commands of
// the main window: save (m1b) and load (m1c) of a results file, the one named
// on the command line at start-up, the report-header dialog (m6), help (m3)
// and About (m4). The screen-saver command (m2) has nothing to open on this
// desktop and is hidden: long runs inhibit the screen saver themselves.
#include "analyses/ResultsCommands.h"
#include "app/Desktop.h"
#include "app/FileDialogs.h"
#include "intake/PrintHeader.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

namespace tabulon::app {

class FrmTabulon;
class FrmSetUp;

class AuxiliaryCommands : public QObject {
    Q_OBJECT
public:
    AuxiliaryCommands(FrmTabulon& window, const analyses::FrontEnd& frontEnd, QObject* parent);
    ~AuxiliaryCommands() override;

    // Registers the menu commands and the start-up step with the window.
    void install();

    // The file dialogs of the File menu (replaced in tests). Returns the
    // chosen path, "" when cancelled.
    using FileChooser = std::function<QString(FileChoice choice)>;
    void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
    QString chooseFile(FileChoice choice);
    void setDesktop(DiskSpacePort* disks, ShellOpenPort* shell);

    void m1b_Click();
    void m1c_Click();
    void m6_Click();
    void m3_Click();
    void m4_Click();
    // The last start-up step: the results file named on the command line.
    void openCommandLineResults();

private:
    void showLoaded(const QString& objName);

    FrmTabulon& window_;
    analyses::ResultsCommands results_;
    intake::PrintHeaderState header_;
    QPointer<FrmSetUp> setUp_;
    FileChooser chooser_;
    SystemDiskSpace systemDisks_;
    DesktopShell desktopShell_;
    DiskSpacePort* disks_ = &systemDisks_;
    ShellOpenPort* shell_ = &desktopShell_;
};

}  // namespace tabulon::app
