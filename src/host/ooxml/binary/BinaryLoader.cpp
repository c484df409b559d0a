#include "host/ooxml/binary/BinaryLoader.h"

#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/ooxml/BookParts.h"
#include "host/ooxml/OoxmlLoader.h"
#include "host/ooxml/binary/BinaryBook.h"
#include "host/ooxml/binary/BinaryParts.h"
#include "host/ooxml/binary/BinarySheet.h"
#include "host/ooxml/book/Colors.h"
#include "host/ooxml/book/Properties.h"
#include "host/ooxml/package/Package.h"
#include "host/xls/BookContext.h"
#include "host/xls/Readers.h"

namespace tabulon::ooxml {

namespace {

struct SheetJob {
    QString part;
    SheetRefs refs;
    QStringList warnings;
};

}  // namespace

void readBinaryPackage(const Package& package, const QString& workbookPart, model::Book& book) {
    BinaryBook wb;
    try {
        wb = readBinaryWorkbook(package, workbookPart);
    } catch (const Error& e) {
        host::raiseReadFailure(host::ReadFailure::Damaged, package.path(), e.description());
    }
    const xls::Globals& g = wb.tables;
    book.codeName = g.codeName;

    ColorResolver colors;
    colors.theme = readTheme(package, workbookPart);
    book.formats = readBinaryStyles(package, workbookPart, colors);
    book.formats.date1904 = g.date1904;
    if (colors.palette != ColorResolver().palette) book.palette = colors.palette;

    SharedStrings sst = readBinarySharedStrings(package, workbookPart);
    book.sharedStrings = std::move(sst.items);
    book.sharedRuns = std::move(sst.runs);

    const std::vector<QString> sheetParts = addListedSheets(package, workbookPart, wb.sheets, book);
    std::vector<SheetJob> jobs(sheetParts.size());
    for (size_t i = 0; i < jobs.size(); ++i) jobs[i].part = sheetParts[i];

    // The names and the links' sheet prefixes are worked out once, before
    // the sheets are read side by side.
    const xls::BookContext formulas(g);
    BinarySheetContext ctx;
    ctx.sharedStringCount = book.sharedStrings.size();
    ctx.formulas = &formulas;
    readSideBySide(package, jobs.size(), [&](size_t i, ZipArchive& zip) {
        SheetJob& job = jobs[i];
        model::Sheet& sheet = book.sheets[i];
        if (job.part.isEmpty() || sheet.kind == model::SheetKind::Chart) return;
        const ZipEntry* entry = zip.find(job.part);
        if (!entry) {
            job.warnings << QStringLiteral("sheet '%1': its part %2 is missing").arg(sheet.name, job.part);
            return;
        }
        QByteArray bytes;
        try {
            bytes = zip.read(*entry, ZipArchive::kMaxPartBytes);
        } catch (const Error& e) {
            job.warnings << QStringLiteral("sheet '%1' unreadable: %2").arg(sheet.name, e.description());
            return;
        }
        readBinarySheet(bytes, job.part, ctx, sheet, job.refs, job.warnings);
    });
    for (size_t i = 0; i < jobs.size(); ++i) readSheetParts(package, book, i, jobs[i].part, jobs[i].refs, colors, jobs[i].warnings);

    xls::resolveNames(g, formulas, book);
    book.links = xls::linksOf(g);
    book.addInFunctions = xls::addInFunctionsOf(g);
    readProperties(package, book.properties);
    readBookParts(package, workbookPart, book);
    const QStringList parts = book.warnings;
    book.warnings = package.warnings();
    for (const SheetJob& job : jobs) book.warnings << job.warnings;
    book.warnings << parts;
}

}  // namespace tabulon::ooxml
