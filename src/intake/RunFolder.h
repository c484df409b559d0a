#pragma once
// A working folder of its own for one run of a command without the window
// (`tabulon document`, `tabulon report`, an inventory), so that runs started
// together in one program folder never meet: each works on its own copy of
// the analysis database and exports the modules into its own folder. The
// window keeps the program folder's own files: it runs alone (one instance).
//
// The folder is AppFolder/runs/run-XXXXXX/ with the database and a temp/
// folder for the modules (named as the program's, so the module rows read
// "Module1.bas" as the window's do). It is removed when the run ends, also
// when the run is ended by Ctrl+C or `kill`. A run killed outright (SIGKILL, a power
// cut) leaves it behind: every new run removes the folders of runs that have
// ended, told by a lock that each live run holds on its folder.
#include "common/KillCleanup.h"
#include "intake/AppPaths.h"

#include <QString>
#include <optional>

namespace tabulon::intake {

class RunFolder {
public:
    // Creates the folder; throws tabulon::Error 75 with the reason when it
    // cannot be made.
    explicit RunFolder(const AppPaths& program);
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // The folder, ending in "/".
    const QString& path() const { return path_; }
    // The program's paths with this run's own analysis database (a
    // consistent copy of the program folder's, made on the first call) and
    // module folder; settings, cover defaults and add-ins stay the program's.
    const AppPaths& ownPaths();

    // Removes the run folders of `program` whose run has ended. Returns how
    // many were removed.
    static int removeEnded(const AppPaths& program);
    // Where the run folders of `program` are: AppFolder/runs/.
    static QString parentOf(const AppPaths& program);

private:
    AppPaths program_;
    QString path_;
    int lock_ = -1;
    std::optional<cleanup::Registration> killed_;
    std::optional<AppPaths> own_;
};

}  // namespace tabulon::intake
