#pragma once
// frmSetUp, the report-header dialog of the Settings menu: a free text, the
// workbook's file name or its full path in the header of every report, or
// nothing. OK writes the choice into T_XlTitle and hides the dialog.
#include "intake/MessageText.h"
#include "intake/PrintHeader.h"
#include "intake/Session.h"

#include <QDialog>
#include <memory>

namespace Ui { class frmSetUp; }

namespace tabulon::app {

class FrmSetUp : public QDialog {
    Q_OBJECT
public:
    // `state` outlives the dialog: the flags and the last choice are kept
    // while the program runs.
    FrmSetUp(intake::Session& session, intake::PrintHeaderState& state,
             const intake::CommandShell& shell, QWidget* parent = nullptr);
    ~FrmSetUp() override;

    // The dialog's load, run each time it is shown: free-text mode with both
    // file-name boxes cleared, the last choice in lblMsg.
    void Form_Load();
    void cmdOK_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chkSetUp_Click();

    intake::Session& session_;
    intake::PrintHeaderState& state_;
    intake::CommandShell shell_;
    std::unique_ptr<Ui::frmSetUp> ui_;
};

}  // namespace tabulon::app
