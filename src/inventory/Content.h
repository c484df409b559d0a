#pragma once
// Which files are tried as workbooks: by their first bytes, not their names.
// The reader decides in the end; this only spares it the files that cannot be
// one (text, images, PDFs, ...), so that the walk stays cheap.
#include <QByteArray>
#include <QString>

namespace tabulon::inventory {

enum class Content {
    None,          // no workbook container
    CompoundFile,  // OLE compound file: .xls (and .doc, .msg, ...)
    Zip,           // zip package: .xlsx/.xlsm/.xlam/.xlsb (and .docx, .jar, ...)
    OldBiff,       // an Excel 2.x-4.0 record stream
};

// The kind the first bytes of a file announce.
Content contentOf(const QByteArray& head);
// Reads the first bytes of a regular file (without touching its access time
// where allowed, never through a symbolic link); None when it cannot be read.
Content contentOfFile(const QString& path);

// Whether the reader is asked about files of this kind. Every container is
// tried: the reader refuses what it cannot read yet, so a new format it
// learns is inventoried without a change here.
inline bool worthReading(Content c) { return c != Content::None; }

// A name the spreadsheet gives its own files (.xls, .xlsm, .xlam, ...): a
// file so named that the reader refuses is a failed workbook, any other such
// file is simply no workbook.
bool hasWorkbookName(const QString& path);

}  // namespace tabulon::inventory
