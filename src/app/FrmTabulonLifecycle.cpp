// Start-up, shutdown and the cover-defaults button of the main window.
#include "app/FrmTabulon.h"

#include "app/Twips.h"
#include "common/Error.h"
#include "host/PathParts.h"
#include "intake/BasicInfo.h"
#include "intake/Profile.h"
#include "ui_frmTabulon.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>

namespace tabulon::app {
namespace {

const QString kStartupPlace = QStringLiteral("場所:起動時");
const QString kSavePlace = QStringLiteral("場所:基本情報登録");
const QString kEnding = QStringLiteral("終了します。");

// POS/T and POS/L hold whole twips; anything else is a type mismatch (13).
long wholeNumber(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || value < -2147483648.0 || value > 2147483647.0)
        throw Error(13, QStringLiteral("型が一致しません。"));
    return std::lround(value);
}

// Every shutdown step runs even when an earlier one failed.
template <typename F>
void ignoringErrors(F&& step) {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace

void FrmTabulon::Form_Load() {
    intake::runGuarded(shell(), kStartupPlace, [this] {
        const intake::AppPaths& paths = session_.paths();
        const QString top = intake::readProfileString(paths.iniPath, "POS", "T", "0");
        const QString left = intake::readProfileString(paths.iniPath, "POS", "L", "0");
        session_.lastFolder = intake::readProfileString(paths.iniPath, "DEF", "Folder", "0");
        const double dpi = logicalDpiX();
        move(twipsToPixels(wholeNumber(left), dpi), twipsToPixels(wholeNumber(top), dpi));
        session_.recentFiles = intake::GetRecentFiles(paths.iniPath);
        showRecentFiles();
        QDir::setCurrent(paths.appFolder);
        session_.heldDefaults = intake::readBasicInfo(paths.datPath);
        session_.applyStartupStates();
        progress_->status(QString());
        progress_->setGaugeEnd(0);
        progress_->showGauge(false);
        if (startupStep_)
            startupStep_();
    });
}

void FrmTabulon::closeEvent(QCloseEvent* event) {
    if (!ended_) {
        ignoringErrors([this] { messages_->message(kEnding, Buttons::Ok); });
        shutdown();
    }
    event->accept();
}

void FrmTabulon::m1z_Click() {
    if (ended_)
        return;
    Answer answer = Answer::Ok;
    ignoringErrors([&] { answer = messages_->message(kEnding, Buttons::OkCancel); });
    if (answer == Answer::Cancel)
        return;
    shutdown();
    close();
}

void FrmTabulon::shutdown() {
    ended_ = true;
    const intake::AppPaths& paths = session_.paths();
    ignoringErrors([&] {
        QDir temp(paths.tempFolder);
        for (const QString& name : temp.entryList(QDir::Files | QDir::Hidden | QDir::System))
            QFile::remove(temp.filePath(name));
    });
    for (const auto& step : shutdownSteps_)
        ignoringErrors(step);
    const double dpi = logicalDpiX();
    ignoringErrors([&] {
        intake::writeProfileString(paths.iniPath, "POS", "T", QString::number(pixelsToTwips(y(), dpi)));
        intake::writeProfileString(paths.iniPath, "POS", "L", QString::number(pixelsToTwips(x(), dpi)));
    });
    const QString workbook = session_.workbookPath();
    ignoringErrors([&] {
        intake::writeProfileString(paths.iniPath, "DEF", "Folder", host::GetFolderPart(workbook));
    });
    ignoringErrors([&] { intake::WriteRecentFiles(paths.iniPath, session_.recentFiles, workbook); });
    if (endProcess_)
        endProcess_();
}

void FrmTabulon::cmdSave_Click() {
    intake::runGuarded(shell(), kSavePlace, [this] {
        const intake::BasicInfo held = intake::trimmedBasicInfo(
            {ui_->txtTitle->text(), ui_->txtCompany->text(), ui_->txtBumon->text(),
             ui_->txtZoom->text()});
        session_.heldDefaults = held;
        intake::writeBasicInfo(session_.paths().datPath, held);
        progress_->status(QStringLiteral("基本情報登録　終了しました。"));
    });
}

}  // namespace tabulon::app
