#pragma once
// Module names come from the workbook file. A crafted file can name a module
// "..\..\evil", "a/b", "CON" or give it control characters or hundreds of
// characters; the exporter must never let such a name choose a path.
#include <QSet>
#include <QString>

namespace tabulon::vba {

// A plain file name (no extension) for a module name: path separators,
// characters Windows refuses and control characters become "_", a leading
// dot (a hidden file that "*.bas" listings skip) and reserved device names
// (CON, NUL, COM1, ...) get a "_" prefix, trailing dots and blanks become
// "_", and the result is cut to at most 120 UTF-8 bytes. An ordinary name,
// Japanese included, is returned unchanged.
QString safeBaseName(const QString& moduleName);

// Makes `fileName` unique (case-insensitively) against `taken` by adding
// "~2", "~3", ... before the extension, and records the result in `taken`.
QString uniqueFileName(const QString& baseName, const QString& extension,
                       QSet<QString>& taken);

}  // namespace tabulon::vba
