#pragma once
// The way a workbook enters the program (the File menu's 解析ファイルの選択,
// the recent-file menu and the command line all come through here): close
// what was open, load the chosen .xls into the reader, export its VBA
// components into the working folder, fill the sheet and link lists, empty
// the report header, fill the cover fields, set the command states.
#include "common/Ports.h"
#include "host/Workbook.h"
#include "intake/MessageText.h"
#include "intake/Session.h"

#include <functional>
#include <optional>

namespace tabulon::intake {

enum class IntakeRoute {
    Dialog,  // through the open-file dialog
    Recent,  // from the recent-file menu: no dialog, TempFolder not created
             // (but emptied, as by every intake), preview buttons left as they are
};

// What the front end does around the intake.
struct IntakeHooks {
    // Drops the report engine's object and makes a fresh one (its current
    // database is forgotten).
    std::function<void()> renewReportEngine;
    // Screen saver off while a workbook is open.
    std::function<void(bool active)> screenSaver;
    // Asked for the password of an encrypted workbook that the default
    // password does not open (the window's dialog, the command line's option).
    xls::PasswordAsk password;
};

// Holds the open workbook between commands, as the hidden spreadsheet
// instance did: loaded at intake, dropped at the next intake or at exit,
// loaded again from the path when a command showed the workbook to the user.
class WorkbookIntake {
public:
    WorkbookIntake(Session& session, const CommandShell& shell, IntakeHooks hooks = {});

    // Runs the intake. `choose` is asked for the workbook path after the old
    // workbook was closed (the dialog: "" when cancelled; the recent item's
    // caption). Returns true when a workbook was opened.
    bool run(IntakeRoute route, const std::function<QString()>& choose);

    // The open workbook, or null when none is loaded.
    const host::Workbook* workbook() const { return workbook_ ? &*workbook_ : nullptr; }
    // The reopen rule: loads the workbook again when a command let the user
    // see it (WorkbookReopen).
    void reopenIfNeeded();
    // Quitting the instance: the model is dropped.
    void close();

    // The document property as text ("" when the file does not hold it).
    static QString propertyText(const host::Workbook& book, int position);

private:
    void load(const QString& path);
    void exportModules();
    void fillLists();
    void resetTitleTable();
    void fillCover();
    void enableCommands(IntakeRoute route);

    Session& session_;
    CommandShell shell_;
    IntakeHooks hooks_;
    std::optional<host::Workbook> workbook_;
    // The password the open workbook was opened with, in memory only, so
    // that the reopen rule does not ask again.
    std::optional<QString> password_;
};

// Deletes the files of the working folder (the exported modules);
// subfolders are left alone.
void clearWorkingFolder(const QString& folder);

// The status line after an intake that skipped damaged parts of the
// workbook (`count` reader warnings).
QString readWarningStatus(int count);

// The place text of the intake's message boxes.
inline const QString kIntakePlace = QStringLiteral("場所:ファイル選択");

}  // namespace tabulon::intake
