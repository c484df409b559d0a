#include "app/FileDialogs.h"

#include "intake/WorkbookIntake.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace tabulon::app {

namespace {

const QString kWorkbookFilter = intake::workbookFileFilter();
const QString kResultsFilter = QStringLiteral("Tabulon(*.xdb)");

bool usableFolder(const QString& folder) {
    return !folder.isEmpty() && !folder.startsWith(u'0') && QFileInfo(folder).isDir();
}

// The chosen file's folder is where the next dialog starts.
QString remember(intake::Session& session, const QString& chosen) {
    if (!chosen.isEmpty())
        session.usedFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

}  // namespace

QString workbookFolder(const intake::Session& session) {
    const QString path = session.workbookPath();
    return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
}

QString dialogFolder(const intake::Session& session) {
    for (const QString& folder : {session.usedFolder, workbookFolder(session), session.lastFolder})
        if (usableFolder(folder))
            return folder;
    return QDir::homePath();
}

QString chooseFile(QWidget* owner, intake::Session& session, FileChoice choice) {
    if (choice == FileChoice::Workbook)
        return remember(session, QFileDialog::getOpenFileName(owner, QStringLiteral("Excel ファイルの選択"),
                                                              dialogFolder(session), kWorkbookFilter));
    const bool save = choice == FileChoice::SaveResults;
    QFileDialog dialog(owner, save ? QStringLiteral("Tabulonファイルの保存") : QStringLiteral("Tabulonファイルの読込"),
                       dialogFolder(session), kResultsFilter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The name rule may change the name; overwriting is asked about after it.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return remember(session, dialog.selectedFiles().first());
}

}  // namespace tabulon::app
