#pragma once
// The fixed paths of the program, all beside the program file (or in the
// folder chosen with --home / TABULON_HOME): settings, cover defaults, the
// analysis database and the working folder for exported modules. Every folder
// text ends in "/".
#include <QString>

namespace tabulon::intake {

struct AppPaths {
    QString appFolder;   // AppFolder
    QString tempFolder;  // TempFolder = AppFolder + "temp/"
    QString dbPath;      // DbPath = AppFolder + "Tabulon2.mdb"
    QString iniPath;     // IniPath = AppFolder + "Tabulon.ini"
    QString datPath;     // AppFolder + "Tabulon2.dat"

    static AppPaths forFolder(const QString& folder);
};

// The program folder: `homeOption` (--home DIR) when given, else the
// TABULON_HOME environment variable, else the folder of the executable.
QString resolveAppFolder(const QString& homeOption);

// The install step: creates the folder, TempFolder, an empty Tabulon2.dat and
// a new Tabulon2.mdb when they are missing; existing files are never touched.
// Returns the names of the files it created.
QStringList ensureInstalled(const AppPaths& paths);

}  // namespace tabulon::intake
