#include "app/CommandWiring.h"

#include "analyses/Commands.h"
#include "app/AuxiliaryCommands.h"
#include "app/FrmTabulon.h"
#include "app/PasswordDialog.h"
#include "app/ScreenSaver.h"
#include "reports/preview/PreviewWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>

namespace tabulon::app {
namespace {

// What the window's commands share for the life of the window.
class CommandHost : public QObject {
public:
    explicit CommandHost(FrmTabulon& window)
        : QObject(&window),
          window_(window),
          preview_(window.messages()),
          reports_(preview_, window.messages()),
          intake_(window.session(), window.shell(),
                  intake::IntakeHooks{[this] { reports_.startEngine(); },
                                      [this](bool on) { screenSaver_.setActive(on); },
                                      passwordDialog(&window)}),
          commands_({window.session(), window.shell(), reports_, intake_,
                     [&window](int) { window.startTimer1(); }}),
          auxiliary_(new AuxiliaryCommands(window, {window.session(), window.shell(), reports_, intake_,
                                                    [&window](int) { window.startTimer1(); }},
                                           this)) {}

    void install() {
        window_.setCommand("m1a", [this](int) { selectWorkbook(); });
        window_.setCommand("RecentFile", [this](int i) { openRecent(i); });
        window_.setCommand("cmdHyousi", [this](int i) { commands_.cmdHyousi(i); });
        window_.setCommand("cmdKansu", [this](int) { commands_.cmdKansu(); });
        window_.setCommand("cmdModule", [this](int) { commands_.cmdModule(); });
        window_.setCommand("cmdObject", [this](int) { commands_.cmdObject(); });
        window_.setCommand("cmdCell", [this](int) { commands_.cmdCell(comboText("cboSheet2")); });
        window_.setCommand("cmdName", [this](int) { commands_.cmdName(); });
        window_.setCommand("cmdLinkMoto", [this](int) { commands_.cmdLinkMoto(comboText("cboLinkMoto")); });
        window_.setCommand("cmdTimeCheck", [this](int) { commands_.cmdTimeCheck(); });
        window_.setCommand("cmdSheet", [this](int) {
            const auto* box = window_.findChild<QComboBox*>(QStringLiteral("cboSheet"));
            commands_.cmdSheet(box ? box->currentText() : QString());
        });
        window_.setCommand("cmdComment", [this](int) { commands_.cmdComment(); });
        window_.setCommand("cmdModStep", [this](int) { commands_.cmdModStep(); });
        window_.setCommand("cmdInyoSaki", [this](int) { commands_.cmdInyoSaki(); });
        window_.setCommand("cmdHensu", [this](int) { commands_.cmdHensu(); });
        for (const char* button : {"cmdHensuU", "cmdHensuT", "cmdHensuH"}) {
            const QString name = QString::fromLatin1(button);
            window_.setCommand(name, [this, name](int) { commands_.cmdHensuReport(name); });
        }
        window_.setCommand("cmdXlShape", [this](int) { commands_.cmdXlShape(); });
        window_.setCommand("cmdFile", [this](int) { commands_.cmdFile(); });
        window_.setCommand("cmdAddin", [this](int) { commands_.cmdAddin(); });
        for (const char* button : {"cmdOPre", "cmdCPre", "cmdPPre", "cmdFPre", "cmdMPre", "cmdNPre",
                                   "cmdSPre", "cmdCOPre", "cmdMSPre", "cmdADPre", "cmdISPre"}) {
            const QString name = QString::fromLatin1(button);
            window_.setCommand(name, [this, name](int) { commands_.preview(name); });
        }
        window_.addShutdownStep([this] {
            reports_.close();
            intake_.close();
            screenSaver_.setActive(true);
        });
        auxiliary_->install();
    }

private:
    QString comboText(const char* name) const {
        const auto* box = window_.findChild<QComboBox*>(QLatin1String(name));
        return box ? box->currentText() : QString();
    }
    void selectWorkbook() {
        intake_.run(intake::IntakeRoute::Dialog, [this] {
            const QString held = window_.session().lastFolder;
            const QString folder = held.startsWith(u'0') ? QDir::currentPath() : held;
            return QFileDialog::getOpenFileName(&window_, QStringLiteral("Excel ファイルの選択"), folder,
                                                intake::workbookFileFilter());
        });
    }
    void openRecent(int index) {
        const auto& recent = window_.session().recentFiles;
        if (index < 0 || index >= int(recent.size()))
            return;
        const QString path = recent[size_t(index)];
        intake_.run(intake::IntakeRoute::Recent, [path] { return path; });
    }

    FrmTabulon& window_;
    reports::WidgetPreview preview_;
    reports::ReportService reports_;
    ScreenSaver screenSaver_;
    intake::WorkbookIntake intake_;
    analyses::Commands commands_;
    AuxiliaryCommands* auxiliary_;  // results files and the auxiliary dialogs
};

}  // namespace

void installCommands(FrmTabulon& window) {
    auto* host = new CommandHost(window);
    host->install();
}

}  // namespace tabulon::app
