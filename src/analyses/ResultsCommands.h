#pragma once
// Saving the analysis as a results file (File > 解析ファイルの保存 and
// `tabulon document --save`) and opening one again (File > 保存ファイルの読込,
// and a results file named when the program starts). After a load the
// reports print from a private working copy of the file, the preview buttons
// of the saved chapters are usable and the file menus stay locked.
#include "analyses/Commands.h"

#include <functional>
#include <optional>

namespace tabulon::analyses {

inline const QString SavePlace = QStringLiteral("場所:保存");
inline const QString LoadPlace = QStringLiteral("場所:読込");
inline const QString StartupPlace = QStringLiteral("場所:起動時");

// The name a chosen path is saved under: one trailing ".xdb" (any case) is
// replaced by ".xdb", any other name gets ".xdb" appended.
QString resultsFileName(const QString& chosen);

class ResultsCommands {
public:
    explicit ResultsCommands(FrontEnd frontEnd);

    // `choose` shows the save dialog ("" when cancelled). Returns true when
    // the file was written; the success box is shown only then, and only
    // then are workbook selection and loading locked.
    bool save(const std::function<QString()>& choose);
    // `choose` shows the open dialog. Returns the saved workbook name
    // (ObjName) when a results file was opened.
    std::optional<QString> load(const std::function<QString()>& choose);
    // The last start-up step: the command-line argument, used as given
    // (trimmed); nothing happens when it is empty.
    std::optional<QString> openAtStartup(const QString& argument);

    // Where a loaded results file is copied to (in the working folder).
    QString workingCopyPath() const;

private:
    std::optional<QString> openFile(const QString& path, const QString& place, const ErrorStyle& style);

    FrontEnd fe_;
};

}  // namespace tabulon::analyses
