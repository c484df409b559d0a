#include "app/AuxiliaryCommands.h"

#include "app/FrmAbout.h"
#include "app/FrmSetUp.h"
#include "app/FrmTabulon.h"
#include "app/Help.h"
#include "intake/Profile.h"

#include <QAction>

namespace tabulon::app {

AuxiliaryCommands::AuxiliaryCommands(FrmTabulon& window, const analyses::FrontEnd& frontEnd,
                                     QObject* parent)
    : QObject(parent), window_(window), results_(frontEnd) {
    setObjectName(QStringLiteral("AuxiliaryCommands"));
}

AuxiliaryCommands::~AuxiliaryCommands() = default;

void AuxiliaryCommands::install() {
    window_.setCommand("m1b", [this](int) { m1b_Click(); });
    window_.setCommand("m1c", [this](int) { m1c_Click(); });
    window_.setCommand("m6", [this](int) { m6_Click(); });
    window_.setCommand("m3", [this](int) { m3_Click(); });
    window_.setCommand("m4", [this](int) { m4_Click(); });
    if (auto* m2 = window_.findChild<QAction*>(QStringLiteral("m2")))
        m2->setVisible(false);
    window_.setStartupStep([this] { openCommandLineResults(); });
}

void AuxiliaryCommands::setDesktop(DiskSpacePort* disks, ShellOpenPort* shell) {
    disks_ = disks ? disks : &systemDisks_;
    shell_ = shell ? shell : &desktopShell_;
}

QString AuxiliaryCommands::chooseFile(FileChoice choice) {
    if (chooser_)
        return chooser_(choice);
    return app::chooseFile(&window_, window_.session(), choice);
}

void AuxiliaryCommands::m1b_Click() {
    results_.save([this] { return chooseFile(FileChoice::SaveResults); });
}

void AuxiliaryCommands::m1c_Click() {
    if (const auto name = results_.load([this] { return chooseFile(FileChoice::LoadResults); }))
        showLoaded(*name);
}

void AuxiliaryCommands::openCommandLineResults() {
    if (const auto name = results_.openAtStartup(window_.session().commandLine))
        showLoaded(*name);
}

void AuxiliaryCommands::showLoaded(const QString& objName) {
    window_.setWindowTitle(QStringLiteral("%1 - %2").arg(tabulon::kMessageTitle, objName));
}

void AuxiliaryCommands::m6_Click() {
    if (window_.session().workbookPath().isEmpty()) {
        window_.messages().message(QStringLiteral("データベースを選択して下さい。"));
        return;
    }
    if (!setUp_)
        setUp_ = new FrmSetUp(window_.session(), header_, window_.shell(), &window_);
    setUp_->Form_Load();
    setUp_->show();
    setUp_->raise();
    // The dialog takes the keyboard: typing goes into it, Esc leaves it.
    setUp_->activateWindow();
}

void AuxiliaryCommands::m3_Click() {
    app::m3_Click(window_.session().paths(), *shell_, window_.messages());
}

void AuxiliaryCommands::m4_Click() {
    const QString ini = window_.session().paths().iniPath;
    AboutLinks links{intake::readProfileString(ini, "ABOUT", "Mail", ""),
                     intake::readProfileString(ini, "ABOUT", "HomePage", "")};
    auto* about = new FrmAbout(window_.session().workbookPath(), *disks_, *shell_,
                               window_.messages(), links, &window_);
    about->show();
}

}  // namespace tabulon::app
