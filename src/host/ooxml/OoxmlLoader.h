#pragma once
// Loads an Office Open XML workbook (.xlsx, .xlsm, .xltx, .xltm, .xlam, and
// the binary .xlsb), or the encrypted package of one, into the model every
// reader fills. Every part is found through the package's relationships; the
// sheets are parsed side by side, each on its own handle of the package.
#include "host/model/Book.h"
#include "host/Password.h"

#include <QString>
#include <functional>
#include <vector>

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

// Runs job(i, zip) for every i below count, side by side on as many threads
// as there are cores, each thread on its own handle of the package; the
// first failure in the order of i is rethrown once all are done. Jobs begin
// in the order of i, so a job may wait for job 0 to end.
class Package;
void readSideBySide(const Package& package, size_t count, const std::function<void(size_t, ZipArchive&)>& job);

// The sheets a workbook part lists, appended to `book` in order with their
// name, state and kind (from the kind of their relationship); returns each
// one's part, empty where the relationship is missing (a package warning).
// Both forms of the workbook part, XML and binary, list them alike.
struct SheetEntry;
std::vector<QString> addListedSheets(const Package& package, const QString& workbookPart,
                                     const std::vector<SheetEntry>& sheets, model::Book& book);

// The extension a workbook part's content type stands for: ".xlsx",
// ".xlsm", ".xltx", ".xltm", ".xlam"; empty for a part that is no workbook.
QString extensionOfContentType(const QString& contentType);

}  // namespace tabulon::ooxml
