#pragma once
// Loads an Office Open XML workbook (.xlsx, .xlsm, .xltx, .xltm, .xlam), or
// the encrypted package of one, into the model every reader fills. Every
// part is found through the package's relationships; the sheets are parsed
// side by side, each on its own handle of the package.
#include "host/model/Book.h"
#include "host/Password.h"

#include <QString>

namespace tabulon::cfb { class CompoundFile; }

namespace tabulon::ooxml {

struct PackageBytes;
class ZipArchive;

// Throws a ReadError: NotWorkbook when the package holds no workbook,
// Damaged when its workbook part cannot be read, and the password kinds for
// an encrypted package. Damage to other parts becomes a warning.
model::Book loadOoxmlWorkbook(const QString& path, const host::PasswordAsk& ask = {});

// The encrypted package in an opened compound file.
model::Book loadEncryptedPackage(const cfb::CompoundFile& file, const QString& path, const host::PasswordAsk& ask);

// The file begins as a zip file does (read from its first bytes only).
bool isZipFile(const QString& path);

// The same from a zip package already in memory; `encrypted` says it was
// decrypted from an encrypted package.
model::Book loadPackage(const QString& path, const PackageBytes& bytes, bool encrypted = false);
// The same over a zip already open (the fuzzer lowers its inflation budget).
model::Book loadPackage(ZipArchive zip, bool encrypted = false);

// The extension a workbook part's content type stands for: ".xlsx",
// ".xlsm", ".xltx", ".xltm", ".xlam"; empty for a part that is no workbook.
QString extensionOfContentType(const QString& contentType);

}  // namespace tabulon::ooxml
