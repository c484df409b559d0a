#pragma once
// Workbooks saved with a password to open since 2007 are no zip file: a
// compound file holds the encryption parameters (`EncryptionInfo`) and the
// encrypted zip package (`EncryptedPackage`), MS-OFFCRYPTO 2.3. Standard
// encryption (AES in ECB mode, SHA-1 key) and agile encryption (an XML
// description; AES-CBC in 4096-byte segments, SHA-512 and others) are read,
// the default password first, then what the user gives, as for .xls.
#include "host/Password.h"

#include <QByteArray>
#include <QString>

namespace tabulon::cfb { class CompoundFile; }

namespace tabulon::ooxml {

// The compound file holds an encrypted package.
bool holdsEncryptedPackage(const cfb::CompoundFile& file);

// The decrypted zip package. Throws a ReadError: PasswordNeeded,
// PasswordWrong, UnknownEncryption (a scheme not read here: extensible or
// rights-managed encryption, an unknown cipher), Damaged.
QByteArray decryptPackage(const cfb::CompoundFile& file, const QString& path, const host::PasswordAsk& ask);
QByteArray decryptPackage(const QByteArray& encryptionInfo, const QByteArray& encryptedPackage, const QString& path,
                          const host::PasswordAsk& ask);

// The other way, for tests and the fuzzer's seeds: a package encrypted with
// agile encryption (AES-256, SHA-512) or standard encryption (AES-128) under
// `password`; `spinCount` kept small where speed matters.
struct EncryptedStreams {
    QByteArray encryptionInfo, encryptedPackage;
};
EncryptedStreams encryptPackage(const QByteArray& zip, const QString& password, bool agile, int spinCount = 100000);

}  // namespace tabulon::ooxml
