#include "app/FrmSetUp.h"

#include "common/Error.h"
#include "store/Database.h"
#include "ui_frmSetUp.h"

#include <QKeyEvent>

namespace tabulon::app {

FrmSetUp::FrmSetUp(intake::Session& session, intake::PrintHeaderState& state,
                   const intake::CommandShell& shell, QWidget* parent)
    : QDialog(parent), session_(session), state_(state), shell_(shell),
      ui_(std::make_unique<Ui::frmSetUp>()) {
    ui_->setupUi(this);
    connect(ui_->chkSetUp, &QAbstractButton::clicked, this, &FrmSetUp::chkSetUp_Click);
    connect(ui_->chkFile, &QAbstractButton::clicked, this,
            [this](bool on) { state_.fileFlag = on ? 1 : 0; });
    connect(ui_->chkPath, &QAbstractButton::clicked, this,
            [this](bool on) { state_.pathFlag = on ? 1 : 0; });
    connect(ui_->cmdOK, &QAbstractButton::clicked, this, &FrmSetUp::cmdOK_Click);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

FrmSetUp::~FrmSetUp() = default;

void FrmSetUp::Form_Load() {
    ui_->chkSetUp->setChecked(true);
    chkSetUp_Click();
    ui_->chkFile->setChecked(state_.fileFlag == 1);
    ui_->chkPath->setChecked(state_.pathFlag == 1);
    ui_->framSetUp->setEnabled(false);
    ui_->lblMsg->setText(state_.modeText);
}

void FrmSetUp::chkSetUp_Click() {
    const bool freeText = ui_->chkSetUp->isChecked();
    state_.freeFlag = freeText ? 1 : 0;
    if (freeText) {
        ui_->chkFile->setChecked(false);
        ui_->chkPath->setChecked(false);
        state_.fileFlag = 0;
        state_.pathFlag = 0;
    } else {
        ui_->chkFile->setChecked(state_.fileFlag == 1);
        ui_->chkPath->setChecked(state_.pathFlag == 1);
        ui_->txtNini->clear();
    }
    ui_->chkFile->setEnabled(!freeText);
    ui_->chkPath->setEnabled(!freeText);
    ui_->framSetUp->setEnabled(!freeText);
    ui_->txtNini->setEnabled(freeText);
}

void FrmSetUp::cmdOK_Click() {
    bool refusedEmpty = false;
    const bool done = intake::runGuarded(shell_, QStringLiteral("場所:ファイル名印刷指定"), [&] {
        auto db = store::Database::open(session_.paths().dbPath);
        try {
            state_.modeText = intake::applyPrintHeader(*db, state_, session_.workbookPath(),
                                                       ui_->txtNini->text());
        } catch (const Error& e) {
            if (e.number() != err::EmptyNotAllowed)
                throw;
            refusedEmpty = true;
        }
    });
    if (refusedEmpty) {
        shell_.messages.message(QStringLiteral("印字する文字を入力して下さい。"));
        ui_->txtNini->setFocus();
        return;
    }
    if (!done)
        return;
    ui_->lblMsg->setText(state_.modeText);
    hide();
}

bool FrmSetUp::eventFilter(QObject* watched, QEvent* event) {
    // Enter moves to the next control, as in the main window.
    if (event->type() == QEvent::KeyPress && watched == focusWidget()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextPrevChild(true);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tabulon::app
