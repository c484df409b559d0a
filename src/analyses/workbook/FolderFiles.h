#pragma once
// The files around the workbook — its folder's workbook-like files, every
// file of the folder, or the workbooks it links to — with size, date and
// read-only state, one T_XlFile row each.
#include "analyses/workbook/WorkbookRun.h"

#include <QDateTime>
#include <QStringList>
#include <optional>
#include <vector>

namespace tabulon::store {
class Table;
}

namespace tabulon::analyses::workbook {

inline const QString FilePlace = QStringLiteral("場所:ファイル一覧");
inline const QString FileCollectingText = QStringLiteral("ファイル 情報　取得中");

using intake::FileSelection;

// What the file system says about one file.
struct FileFacts {
    double sizeKb = 0;      // bytes / 1024
    QDateTime modified;
    bool readOnly = false;  // nobody may write it: no owner write permission
};
// Empty when path names no regular file.
std::optional<FileFacts> fileFacts(const QString& path);

struct FileEntry {
    QString name;           // XFileName
    QString folder;         // FilePath, ending in a separator
    std::optional<FileFacts> facts;  // empty: the file was not found
};

// The regular files of one folder (no sub-folders, no dot-files, no
// directory links), sorted by name in code-point order. With `related`,
// only names whose extension begins with "x" in either case ("*.x*").
std::vector<FileEntry> folderFiles(const QString& folder, bool related);

// A link source as the workbook stores it, looked up as stored (relative to
// the workbook's folder) and then by its bare name in the workbook's folder.
// A source found nowhere keeps its stored name and folder.
FileEntry linkSourceEntry(const QString& stored, const QString& workbookFolder);

struct FileOptions {
    FileSelection selection = FileSelection::Related;
    int tableSelection = 0;  // done mark: the option T_XlFile holds
};

code::CodeOutcome runFolderFiles(const WorkbookContext& ctx, const FileOptions& options);

// Writes the file-system columns of a row (FileSize, UpdateDate, ReadOnly);
// a file that was not found leaves them empty.
void setFileFacts(store::Table& table, const std::optional<FileFacts>& facts);

}  // namespace tabulon::analyses::workbook
