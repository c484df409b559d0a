#pragma once
// The texts of the error message box, shared by every layer that reports a
// failure to the user. Two forms: the usual one names the place and the error
// number and asks the user to mail them in; error numbers 2449..2999 come from
// a state the program cannot recover from, so that form says the system will
// end. Lines are separated by a single "\r", as the boxes always were.
#include "common/Error.h"

#include <QString>

namespace tabulon {

inline const QString kMessageTitle = QStringLiteral("Tabulon2000 Ver 1.1");
inline const QString kMailRequest = QStringLiteral("場所とｴﾗｰNoを控えメールをお願いします。");

// Wording of the box; a few commands word it slightly differently.
struct ErrorStyle {
    QString numberLead = QStringLiteral("ｴﾗｰNo:");
    QString requestLine = kMailRequest;
};

bool isUnstable(int number);

// The usual form whatever the number, for handlers that do not treat the
// unstable range apart.
QString genericErrorText(const QString& place, int number, const QString& description,
                         const ErrorStyle& style = {});

// `place` is the full place text, e.g. "場所:起動時".
QString errorText(const QString& place, int number, const QString& description,
                  const ErrorStyle& style = {});

// The box for an error that a guard named the place of: its number, and its
// description with the detail the raiser gave.
QString errorText(const Error& error, const ErrorStyle& style = {});

}  // namespace tabulon
