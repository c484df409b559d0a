#pragma once
// What `tabulon document` was asked to do, read and checked in one place
// before anything runs: a refused option ends the run before any output.
// The options the workbook decides (--sheet, --link) are checked right after
// the intake, still before the first chapter.
#include "intake/Session.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace tabulon::cli {

// Sets one of the window's options to its value's number (1, 2, ...).
using OptionSetter = void (*)(intake::Session& session, int value);

struct DocumentOptions {
    QString workbook;                  // absolute path
    QString outputFolder;              // -o DIR
    // Options chosen on the command line by their numbers, in the order of
    // the window's frames.
    std::vector<std::pair<OptionSetter, int>> choices;
    QString sheet;                     // --sheet NAME; empty: every sheet
    std::optional<int> link;           // --link N; 0: no search; none: the first source
    bool proc50 = false, mod50 = false;
    QString zoom;                      // --zoom N as typed (checked); empty: the window's
    QString saveTo;                    // --save FILE.xdb; empty: none
    QString password;                  // --password; empty: TABULON_PASSWORD
};

// The options, or the sentence that says what is wrong with the words.
std::variant<DocumentOptions, QString> readDocumentOptions(const QStringList& args);

// Sets the window's options of the session as the command line chose them;
// the rest keep the window's defaults. Runs after the intake (which fills
// the cover fields the zoom belongs to).
void applyOptions(const DocumentOptions& options, intake::Session& session);

// What the opened workbook refuses of the options: a --sheet it does not
// list, a --link past its link sources. Empty when nothing.
QString refusedByWorkbook(const DocumentOptions& options, const intake::Session& session);

// The sheet whose cells the cell list takes in selected-sheet mode, and the
// sheets whose print images the run makes.
QString selectedSheet(const DocumentOptions& options, const intake::Session& session);
QStringList printedSheets(const DocumentOptions& options, const intake::Session& session);
// The link source of the link search; empty when there is none to search.
QString chosenLink(const DocumentOptions& options, const intake::Session& session);

}  // namespace tabulon::cli
