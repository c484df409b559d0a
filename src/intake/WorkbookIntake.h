#pragma once
// The way a workbook enters the program (the File menu's workbook choice, the
// recent-file menu and the command line all come through here): read the
// chosen file, then close what was open, export the VBA components into the
// working folder, fill the sheet and link lists, empty the report header,
// fill the cover fields and set the command states.
#include "common/Ports.h"
#include "host/Workbook.h"
#include "host/vba/Project.h"
#include "intake/MessageText.h"
#include "intake/Session.h"

#include <functional>
#include <optional>

namespace tabulon::vba {
class Project;
}

namespace tabulon::intake {

// The workbooks the intake takes, by the ending of their names (compared
// without case): the .xls family and the formats saved since 2007. Which
// reader reads a file is told by its content, not by this.
bool isWorkbookFileName(const QString& path);
// The open-file dialog's filter for them.
QString workbookFileFilter();

// What the front end does around the intake.
struct IntakeHooks {
    // Screen saver off while a workbook is open.
    std::function<void(bool active)> screenSaver;
    // Asked for the password of an encrypted workbook that the default
    // password does not open (the window's dialog, the command line's option).
    host::PasswordAsk password;
};

// Holds the open workbook between commands: loaded at intake, dropped at the
// next intake or at exit.
class WorkbookIntake {
public:
    WorkbookIntake(Session& session, const CommandShell& shell, IntakeHooks hooks = {});

    // Opens the workbook at `path`. The file is read whole before anything
    // changes: a file the reader refuses (not a workbook, damaged, needing a
    // password) is explained in one box and leaves the open workbook, its
    // path and every command as they were. Returns true when it was opened.
    bool open(const QString& path);

    // The open workbook, or null when none is loaded.
    const host::Workbook* workbook() const { return workbook_ ? &*workbook_ : nullptr; }
    // The workbook's VBA project as read at intake (its components carry the
    // exported texts the code chapters read), or null when none is loaded
    // or the project is damaged.
    const vba::Project* vbaProject() const { return project_.get(); }
    // Why the workbook's macros cannot be read (a project locked for
    // viewing or damaged, Excel 5.0/95 module sheets), as the code chapters say it;
    // empty when they can be read or there are none.
    QString unreadableCodeText() const;
    // The model is dropped (at exit).
    void close();

    // The document property as text ("" when the file does not hold it).
    static QString propertyText(const host::Workbook& book, int position);

private:
    static std::shared_ptr<const vba::Project> readProject(const host::Workbook& book, bool& damaged);
    void exportModules(const vba::Project& project);
    bool hasCode() const;  // a module of any kind holds code
    void fillLists();
    void resetTitleTable();
    void fillCover();
    void enableCommands();

    Session& session_;
    CommandShell shell_;
    IntakeHooks hooks_;
    std::optional<host::Workbook> workbook_;
    std::shared_ptr<const vba::Project> project_;  // read with the workbook
    bool projectDamaged_ = false;                   // the project could not be read
};

// Deletes the files of the working folder (the exported modules);
// subfolders are left alone.
void clearWorkingFolder(const QString& folder);

// The status line after an intake that skipped damaged parts of the
// workbook (`count` reader warnings).
QString readWarningStatus(int count);

// The place text of the intake's message boxes.
inline const QString kIntakePlace = QStringLiteral("場所:ファイル選択");
// What the code chapters add when a workbook's code cannot be read.
inline const QString kChaptersLeftText = QStringLiteral("モジュールの章は作成できません。ブックの章は作成できます。");
// What the code chapters say for a workbook whose project is locked for
// viewing: its workbook chapters are documented, its code is left unread.
inline const QString kLockedProjectText = QStringLiteral("プロジェクトが保護されています。\r") + kChaptersLeftText;

}  // namespace tabulon::intake
