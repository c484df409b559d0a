#include "app/CommandWiring.h"

#include "analyses/Commands.h"
#include "app/AuxiliaryCommands.h"
#include "app/Controls.h"
#include "app/FrmTabulon.h"
#include "app/PasswordDialog.h"
#include "app/ScreenSaver.h"
#include "reports/preview/PreviewWindow.h"

#include <QComboBox>

namespace tabulon::app {
namespace {

using intake::Chapter;

// What the window's commands share for the life of the window.
class CommandHost : public QObject {
public:
    explicit CommandHost(FrmTabulon& window)
        : QObject(&window),
          window_(window),
          preview_(window.messages()),
          reports_(preview_, window.messages()),
          intake_(window.session(), window.shell(),
                  intake::IntakeHooks{[this](bool on) { screenSaver_.setActive(on); },
                                      passwordDialog(&window)}),
          commands_(frontEnd()),
          auxiliary_(new AuxiliaryCommands(window, frontEnd(), this)) {}

    void install() {
        window_.setCommand("m1a", [this](int) { selectWorkbook(); });
        window_.setCommand("RecentFile", [this](int i) { openRecent(i); });
        window_.setCommand("cmdHyousi", [this](int i) {
            commands_.cover(i == 0 ? Chapter::Cover : i == 1 ? Chapter::SpineLabel : Chapter::FrontLabel);
        });
        window_.setCommand("cmdObject", [this](int) { commands_.objects(); });
        window_.setCommand("cmdCell", [this](int) { commands_.cells(comboText("cboSheet2")); });
        window_.setCommand("cmdKansu", [this](int) { commands_.procedures(); });
        window_.setCommand("cmdModule", [this](int) { commands_.sources(); });
        window_.setCommand("cmdXlShape", [this](int) { commands_.shapes(); });
        window_.setCommand("cmdHensu", [this](int) { commands_.collectVariables(); });
        window_.setCommand("cmdName", [this](int) { commands_.names(); });
        window_.setCommand("cmdSheet", [this](int) { commands_.sheetPrint(comboText("cboSheet")); });
        window_.setCommand("cmdFile", [this](int) { commands_.files(); });
        window_.setCommand("cmdComment", [this](int) { commands_.comments(); });
        window_.setCommand("cmdModStep", [this](int) { commands_.moduleSteps(); });
        window_.setCommand("cmdAddin", [this](int) { commands_.addins(); });
        window_.setCommand("cmdInyoSaki", [this](int) { commands_.citations(); });
        window_.setCommand("cmdLinkMoto", [this](int) { commands_.linkSearch(comboText("cboLinkMoto")); });
        window_.setCommand("cmdTimeCheck", [this](int) { commands_.timeEstimate(); });
        for (const PreviewButton& button : previewButtons()) {
            const Chapter chapter = button.chapter;
            window_.setCommand(QLatin1String(button.control), [this, chapter](int) { commands_.preview(chapter); });
        }
        // A report's PDF is offered beside the workbook it documents; a folder
        // chosen in the PDF dialog holds until the next workbook.
        connect(&window_.session(), &intake::Session::workbookChanged, this,
                [this] { preview_.setSaveFolder(workbookFolder(window_.session())); });
        window_.addShutdownStep([this] {
            intake_.close();
            screenSaver_.setActive(true);
        });
        auxiliary_->install();
    }

private:
    analyses::FrontEnd frontEnd() {
        return {window_.session(), window_.shell(), reports_, intake_, [this] { window_.previewShown(); }};
    }
    QString comboText(const char* name) const {
        const auto* box = window_.findChild<QComboBox*>(QLatin1String(name));
        return box ? box->currentText() : QString();
    }
    // The dialog comes first: a cancelled choice changes nothing.
    void selectWorkbook() {
        const QString path = auxiliary_->chooseFile(FileChoice::Workbook);
        if (!path.isEmpty())
            intake_.open(path);
    }
    void openRecent(int index) {
        const auto& recent = window_.session().recentFiles;
        if (index >= 0 && index < int(recent.size()))
            intake_.open(recent[size_t(index)]);
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
