#pragma once
// Workbooks saved with a password to open (or with a protected structure,
// which the spreadsheet saves under its well-known default password) hold the
// data of their records encrypted. The record headers stay plain, so the
// stream is decrypted in memory record by record before it is read.
#include "host/Password.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace tabulon::xls {

using PasswordAsk = host::PasswordAsk;

// The password the spreadsheet encrypts protected-structure workbooks with.
inline const QString kDefaultPassword = QStringLiteral("VelvetSweatshop");

// The messages (Error 1004), each after the file name (host/ReadFailure.h).
extern const QString kPasswordNeeded;
extern const QString kPasswordWrong;
extern const QString kUnknownEncryption;

// Where the FILEPASS record of the workbook globals ends, or nothing when
// the stream is not encrypted.
std::optional<size_t> filePassEnd(const QByteArray& stream);

// The stream with the data of every record after FILEPASS decrypted, trying
// the default password first and then what `ask` gives. Throws
// tabulon::Error 1004 with one of the messages above when no password opens
// it or the scheme is not one the format defines.
QByteArray decryptWorkbookStream(const QByteArray& stream, const QString& path, const PasswordAsk& ask);

}  // namespace tabulon::xls
