#pragma once
// Why a workbook file could not be read, as the user is told: a Japanese
// sentence after the file name, then the reader's own English detail (the
// reason and the place it broke) for whoever has to look into the file.
// Every refusal of the reader that reaches a user is one of these kinds.
#include "common/Error.h"

#include <QString>
#include <functional>

namespace tabulon::host {

enum class ReadFailure {
    FileMissing,        // no file at the path, or it cannot be opened (53)
    EmptyFile,          // a file of no bytes
    NotWorkbook,        // not a compound file, or no workbook stream in it
    TooOld,             // an Excel 2.x-4.0 file
    Damaged,            // the structure breaks somewhere the reader cannot skip
    PasswordNeeded,     // encrypted, and no password was given
    PasswordWrong,      // encrypted, and the password given does not open it
    UnknownEncryption,  // encrypted by a scheme the file format does not define
    ProjectProtected,   // the VBA project is locked for viewing (50289)
    ProjectDamaged,     // the VBA project cannot be read
    OutOfMemory,        // the file is larger than the memory there is (7)
};

// The Japanese sentence for a kind.
QString readFailureText(ReadFailure kind);

// The error number the message box shows for a kind.
int readFailureNumber(ReadFailure kind);

// A refusal of the reader: its kind, the description built from it.
class ReadError : public Error {
public:
    // "'book.xls': <sentence> 詳細: <technical>"; `technical` may be empty.
    ReadError(ReadFailure kind, const QString& path, const QString& technical = {}, ErrorDetail detail = {});
    ReadFailure kind() const noexcept { return kind_; }
    // The reader's own account, in its technical words (may be empty).
    const QString& technical() const noexcept { return technical_; }

private:
    ReadFailure kind_;
    QString technical_;
};

// A refusal of the spreadsheet's object model (a sheet, name, shape or
// add-in asked for that is not there): its number, the message the
// spreadsheet itself gives for that number in Japanese, then `technical`.
[[noreturn]] void raiseHostError(int number, const QString& technical);

[[noreturn]] void raiseReadFailure(ReadFailure kind, const QString& path, const QString& technical = {},
                                   ErrorDetail detail = {});

// Runs `read` and lets a ReadError through; any other failure of the reader
// leaves as a ReadError of kind `otherwise` (a missing file as FileMissing,
// exhausted memory as OutOfMemory), its English description kept as the
// technical detail and its place in the file kept as it was.
void asReadFailure(ReadFailure otherwise, const QString& path, const std::function<void()>& read);

}  // namespace tabulon::host
