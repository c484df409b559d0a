#pragma once
// Errors travel as values with the number the user sees in the message box.
// The numbers are the ones the old platform used, so the message-box texts,
// the help and the users' habits stay valid. Every layer raises this one type;
// it becomes the message-box text in one place only (common/ErrorText.h).
#include <QString>
#include <cstddef>
#include <exception>
#include <string>

namespace tabulon {

namespace err {
// The program itself
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int SubscriptOutOfRange = 9;
constexpr int TypeMismatch = 13;
constexpr int InternalError = 51;
// Files
constexpr int FileNotFound = 53;
constexpr int InputPastEnd = 62;
constexpr int PathFileAccess = 75;
// The spreadsheet host
constexpr int ObjectMissing = 91;
constexpr int Unsupported = 438;
constexpr int Refused = 1004;
constexpr int ProjectProtected = 50289;
constexpr int PropertyNotHeld = -2147467259;
// The store
constexpr int DbNotFound = 3024;
constexpr int DbLocked = 3051;
constexpr int FieldTooSmall = 3163;
constexpr int EmptyNotAllowed = 3315;
// The report engine
constexpr int NoPrinter = 2202;
constexpr int ReportCancelled = 2455;
}  // namespace err

// Where in the input a failure was found, for damaged files: the record and
// byte offset, and what the reader expected against what it found. Unset
// members stay out of the text.
struct ErrorDetail {
    static constexpr size_t kNoOffset = size_t(-1);
    int record = -1;               // BIFF record type, -1 when not in a record
    size_t offset = kNoOffset;     // byte offset in the stream being read
    QString expected;
    QString found;

    bool empty() const { return record < 0 && offset == kNoOffset && expected.isEmpty() && found.isEmpty(); }
    // " at offset 12 (record 0x0006): expected 4 bytes, found 2"
    QString text() const;
};

class Error : public std::exception {
public:
    Error(int number, QString description, ErrorDetail detail = {});

    int number() const noexcept { return number_; }
    const QString& description() const noexcept { return description_; }
    const ErrorDetail& detail() const noexcept { return detail_; }
    // The place text of the command or routine that failed ("場所:起動時");
    // empty until a guard or the raiser names it.
    const QString& place() const noexcept { return place_; }
    Error& setPlace(QString place) {
        place_ = std::move(place);
        return *this;
    }
    // The description followed by the detail: the "内容:" of the box and
    // the line a log or the dump shows.
    QString text() const { return description_ + detail_.text(); }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    QString description_;
    ErrorDetail detail_;
    QString place_;
    std::string what_;
};

}  // namespace tabulon
