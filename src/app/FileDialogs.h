#pragma once
// The window's file dialogs and the folder each starts in: the folder last
// used in this run, else the open workbook's, else the one the settings hold,
// else the user's home folder (never the program folder).
#include "intake/Session.h"

#include <QString>

class QWidget;

namespace tabulon::app {

// The folder of the open workbook, "" when none is open.
QString workbookFolder(const intake::Session& session);

// Where a file dialog starts.
QString dialogFolder(const intake::Session& session);

// The three file choices of the File menu.
enum class FileChoice {
    Workbook,     // 解析ファイルの選択
    SaveResults,  // 解析ファイルの保存
    LoadResults,  // 保存ファイルの読込
};

// Shows the dialog of `choice`: the chosen path, "" when cancelled. The
// folder of a chosen file is where the next dialog starts.
QString chooseFile(QWidget* owner, intake::Session& session, FileChoice choice);

}  // namespace tabulon::app
