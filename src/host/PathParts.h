#pragma once
// Splitting a path into its folder and its bare file name. Paths reach the
// program from the settings file, from workbooks written on Windows and from
// the local file system, so both "/" and "\" count as separators.
#include <QString>

namespace tabulon::host {

// The path up to and including its last separator; "" for an empty path and
// for a bare name without any separator.
QString GetFolderPart(const QString& path);

// The text after the last separator (the bare file name); "" for an empty
// path, the whole text for a bare name without any separator.
QString GetFileNamePart(const QString& path);

}  // namespace tabulon::host
