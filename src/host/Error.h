#pragma once
// Errors travel as values with the number the user sees in the message box.
// The numbers are the ones the old platform used, so the message-box texts,
// the help and the users' habits stay valid:
//   host:    1004 refused, 91 missing object, 438 unsupported, 50289 protected
//            VBA project, -2147467259 property not held, 53 file not found
//   store:   3024 database missing, 3051 locked, 3163 text too long,
//            3315 empty text not allowed
//   reports: 7867 database already current, 2202 no printer, 2455 ignored
#include <QString>
#include <exception>
#include <string>

namespace tabulon {

class Error : public std::exception {
public:
    Error(int number, QString description)
        : number_(number), description_(std::move(description)),
          what_(description_.toStdString()) {}
    int number() const noexcept { return number_; }
    const QString& description() const noexcept { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    int number_;
    QString description_;
    std::string what_;
};

namespace err {
constexpr int FileNotFound = 53;
constexpr int PathFileAccess = 75;
constexpr int ObjectMissing = 91;
constexpr int Unsupported = 438;
constexpr int Refused = 1004;
constexpr int ProjectProtected = 50289;
constexpr int PropertyNotHeld = -2147467259;
constexpr int DbNotFound = 3024;
constexpr int DbLocked = 3051;
constexpr int FieldTooSmall = 3163;
constexpr int EmptyNotAllowed = 3315;
constexpr int DbAlreadyCurrent = 7867;
constexpr int NoPrinter = 2202;
constexpr int ReportCancelled = 2455;
}  // namespace err

}  // namespace tabulon
