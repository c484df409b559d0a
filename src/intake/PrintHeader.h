#pragma once
// The report header choice of the set-up dialog: what the reports print in
// their running header, kept as the one row of T_XlTitle (the workbook's full
// path, its file name, a free text, or no row at all).
#include <QString>

namespace tabulon::store {
class Database;
}

namespace tabulon::intake {

// The dialog's flags, kept while the program runs, and the last choice.
struct PrintHeaderState {
    int fileFlag = 0;  // print the workbook's file name
    int pathFlag = 0;  // the full path instead of the bare name
    int freeFlag = 0;  // print a free text
    QString modeText;  // the last choice, as the dialog shows it
};

// Writes the header row for the flags and returns the mode text
// ("ファイル名フルパス印刷", "ファイル名印刷", "任意の文字列を印刷" or
// "印刷しない"). An empty free text is refused with error 3315 before the
// table is touched, so the header in force is kept.
QString applyPrintHeader(store::Database& db, const PrintHeaderState& state,
                         const QString& workbookPath, const QString& freeText);

}  // namespace tabulon::intake
