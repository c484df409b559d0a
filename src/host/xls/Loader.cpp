#include "host/xls/Loader.h"

#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/cfb/CompoundFile.h"
#include "host/props/PropertySets.h"
#include "host/xls/BookContext.h"
#include "host/xls/Decrypt.h"
#include "host/xls/DrawingReader.h"
#include "host/xls/Readers.h"
#include "host/xls/SheetLayout.h"
#include "host/xls/Colors.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <memory>
#include <utility>

namespace tabulon::xls {

namespace {

// A stream that is no workbook this reader knows; `reason` says what it is.
[[noreturn]] void refuse(const QString& path, const QString& reason) {
    host::raiseReadFailure(host::ReadFailure::NotWorkbook, path, reason);
}

[[noreturn]] void refuseTooOld(const QString& path) {
    host::raiseReadFailure(host::ReadFailure::TooOld, path, QStringLiteral("Excel 2.x-4.0 format"));
}

// Excel 2.x-4.0 wrote the record stream as the whole file, not inside a
// compound file: such a file begins with one of their BOF records.
bool startsWithOldBof(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(4);
    if (head.size() < 4) return false;
    const int type = uint8_t(head[0]) | (uint8_t(head[1]) << 8);
    const int size = uint8_t(head[2]) | (uint8_t(head[3]) << 8);
    return (type == rt::Bof2 || type == rt::Bof3 || type == rt::Bof4) && size >= 4 && size <= 16;
}

// BOF, MS-XLS 2.4.21: the first record of the stream says which format the
// whole stream is in, whatever the stream is called: 0x0600 Excel 97-2003,
// 0x0500 Excel 5.0/95. Returns 8 or 5.
int checkFirstBof(RecordStream& rs, const QString& path) {
    Record rec;
    if (!rs.next(rec)) refuse(path, QStringLiteral("the workbook stream is empty or truncated"));
    if (rec.type == rt::Bof2 || rec.type == rt::Bof3 || rec.type == rt::Bof4)
        refuseTooOld(path);
    if (rec.type != rt::Bof || rec.size() < 4) refuse(path, QStringLiteral("not an .xls workbook"));
    ByteCursor c = rec.cursor();
    const int version = c.u16();
    const int dt = c.u16();
    if (version != 0x0600 && version != 0x0500)
        refuse(path, QStringLiteral("unknown BIFF version 0x%1").arg(version, 4, 16, QLatin1Char('0')));
    if (dt != 0x0005) refuse(path, QStringLiteral("not an .xls workbook (no workbook globals)"));
    return version == 0x0500 ? 5 : 8;
}

void parseGlobalRecord(const Record& rec, Globals& book) {
    if (parseFormatRecord(rec, book)) return;
    if (book.biff == 5 && parseBiff5GlobalRecord(rec, book)) return;
    switch (rec.type) {
    case rt::BoundSheet8: parseBoundSheet(rec, book); break;
    case rt::Lbl: parseLbl(rec, book); break;
    case rt::SupBook: parseSupBook(rec, book); break;
    case rt::ExternSheet: parseExternSheet(rec, book); break;
    case rt::ExternName: parseExternName(rec, book); break;
    case rt::Palette: parsePalette(rec, book); break;
    case rt::CodePage: { ByteCursor c = rec.cursor(); book.codePage = c.u16(); break; }  // 2.4.52
    case rt::CodeName: { ByteCursor c = rec.cursor(); book.codeName = readUnicodeString16(rec, c); break; }  // 2.4.51
    default: break;
    }
}

}  // namespace

namespace {

// The areas a name's formula covers need no sheet or name texts.
class NoNames : public FormulaContext {
public:
    QString externSheetPrefix(int) const override { return {}; }
    QString definedName(int) const override { return {}; }
    QString externName(int, int) const override { return {}; }
};

}  // namespace

// The names as the model keeps them: their formula text, and the areas it
// covers when it is a range.
void resolveNames(const Globals& g, const FormulaContext& ctx, model::Book& book) {
    book.names.reserve(g.names.size());
    for (const NameModel& n : g.names) {
        model::Name& name = book.names.emplace_back();
        name.name = n.name;
        name.builtin = n.builtin;
        name.hidden = n.hidden;
        name.vbaMacro = n.vbaMacro;
        if (n.sheetIndex > 0) {
            const int tab = n.sheetIndex - 1;
            name.sheetLevel = true;
            name.sheet = tab < g.boundSheetNames.size() ? g.boundSheetNames.at(tab) : QString();
            name.sheetIndex = size_t(tab) < g.boundSheetToSheet.size() ? g.boundSheetToSheet[size_t(tab)] : -1;
        }
        FormulaInput in;
        in.rgce = n.rgce.data();
        in.cce = n.rgce.size();
        in.extra = n.extra.empty() ? nullptr : n.extra.data();
        in.extraSize = n.extra.size();
        in.kind = FormulaKind::Name;
        in.biff5 = g.biff == 5;
        in.biff12 = g.biff == 12;
        in.codePage = g.codePage;
        try {
            name.refersTo = n.rgce.empty() ? QStringLiteral("=") : decodeFormula(in, ctx);
        } catch (const FormatError& e) {
            if (book.warnings.size() < kWarningCap)
                book.warnings << QStringLiteral("name '%1': %2").arg(n.name, e.text());
            name.refersTo = QStringLiteral("=#REF!");
        } catch (const Error& e) {
            book.warnings << QStringLiteral("name '%1': formula unreadable: %2").arg(n.name, e.description());
            name.refersTo = QStringLiteral("=#REF!");
        }
        name.areas = formulaAreas(in, NoNames());
    }
}

// The functions of the add-in link (a SUPBOOK of add-in functions, its
// EXTERNNAME records), in file order.
QStringList addInFunctionsOf(const Globals& g) {
    QStringList functions;
    for (const SupBookModel& sb : g.supBooks)
        if (sb.kind == SupBookKind::AddIn)
            for (const ExternNameModel& n : sb.names) functions << n.name;
    return functions;
}

// The links to other files, in the order of the SUPBOOK records.
std::vector<model::Link> linksOf(const Globals& g) {
    std::vector<model::Link> links;
    for (const SupBookModel& sb : g.supBooks) {
        if (sb.path.isEmpty()) continue;
        if (sb.kind == SupBookKind::External) links.push_back({model::Link::Workbook, sb.path});
        else if (sb.kind == SupBookKind::OleDde) links.push_back({model::Link::OleDde, sb.path});
    }
    return links;
}


void readGlobals(RecordStream& rs, Globals& book, std::vector<Record>& sst, bool decrypted) {
    Record rec;
    while (rs.next(rec)) {
        if (rec.type == rt::Eof) return;
        if (rec.type == rt::FilePass) {
            if (decrypted) continue;
            host::raiseReadFailure(host::ReadFailure::PasswordNeeded, book.path);
        }
        try {
            if (rec.type == rt::Sst) {
                book.sstCount += sstAnnounced(rec);
                sst.push_back(std::move(rec));
                rec = Record{};
                continue;
            }
            parseGlobalRecord(rec, book);
        } catch (const FormatError& e) {
            warn(book, QStringLiteral("workbook globals"), FormatError(e.reason(), e.offset(), rec.type));
        }
    }
    // Where the records stop: the end of the stream, or a record that
    // claims more bytes than remain.
    ErrorDetail where;
    where.offset = rs.pos();
    host::raiseReadFailure(host::ReadFailure::Damaged, book.path,
                           QStringLiteral("the workbook is truncated (no end of the workbook globals)"), where);
}

model::Book readWorkbookStream(const QByteArray& stored, const QString& path, const PasswordAsk& ask) {
    Globals g;
    g.path = QFileInfo(path).absoluteFilePath();
    // An encrypted stream is read from its decrypted copy, held in memory only.
    const bool decrypted = filePassEnd(stored).has_value();
    const QByteArray stream = decrypted ? decryptWorkbookStream(stored, path, ask) : stored;
    RecordStream rs(stream);
    g.biff = checkFirstBof(rs, path);
    std::vector<Record> sst;
    readGlobals(rs, g, sst, decrypted);

    // The sheets are read side by side, each into its own job, and their
    // warnings join the workbook's in sheet order.
    const BookContext ctx(g);
    std::vector<SheetJob> jobs(g.sheets.size());
    for (size_t i = 0; i < g.sheets.size(); ++i) {
        jobs[i].sheet.name = g.sheets[i].name;
        jobs[i].sheet.kind = g.sheets[i].kind;
        jobs[i].sheet.visibility = g.sheets[i].visibility;
    }
    const std::vector<size_t> toRead = sheetsToRead(stream, g, jobs);
    SharedStrings strings;
    readSheetsTogether(stream, g, ctx, toRead, jobs, sst, strings);

    model::Book book;
    book.path = g.path;
    if (g.biff == 5) book.format = model::FileFormat{QStringLiteral("BIFF5"), QStringLiteral("Excel 5.0/95")};
    book.codePage = g.codePage;
    book.codeName = g.codeName;
    book.encrypted = decrypted;
    book.unreadableMacros = g.biff == 5 && g.vbaModuleSheets;
    book.warnings = g.warnings;
    strings.log.appendTo(book.warnings);
    if (strings.strings.size() < g.sstCount) dropLostStrings(strings.strings.size(), jobs);
    for (const SheetJob& job : jobs) job.log.appendTo(book.warnings);
    book.sharedStrings = std::move(strings.strings);
    book.sharedRuns = std::move(strings.runs);
    if (g.biff == 5) gatherBiff5Links(jobs, g);
    resolveNames(g, ctx, book);
    book.links = linksOf(g);
    book.addInFunctions = addInFunctionsOf(g);
    book.formats = resolveFormats(g);
    book.pictures = parseBlipStore(g.drawingGroup);
    book.palette = paletteRgb(g.palette);
    book.sheets.reserve(jobs.size());
    std::vector<size_t> firstChart;
    for (SheetJob& job : jobs) {
        // The sheet's charts join the book's: its numbers for them move along.
        const int first = int(book.charts.size());
        firstChart.push_back(size_t(first));
        for (model::Chart& c : job.charts) book.charts.push_back(std::move(c));
        if (job.sheet.chart >= 0) job.sheet.chart += first;
        for (model::Shape& s : job.sheet.shapes)
            if (s.chart >= 0) s.chart += first;
        book.sheets.push_back(std::move(job.sheet));
    }
    for (size_t i = 0; i < jobs.size(); ++i) fillChartsFromCells(book, g, jobs[i].chartSources, firstChart[i]);
    return book;
}

std::optional<QByteArray> workbookStream(const cfb::CompoundFile& file, bool* truncated) {
    std::optional<QByteArray> stream = file.rootStreamView(QStringLiteral("Workbook"), truncated);
    if (!stream) stream = file.rootStreamView(QStringLiteral("Book"), truncated);
    return stream;
}

cfb::CompoundFile openWorkbookFile(const QString& path) {
    try {
        return cfb::CompoundFile(path);
    } catch (const Error& e) {
        if (e.number() == err::Refused && startsWithOldBof(path)) refuseTooOld(path);
        throw;
    }
}

model::Book readCompoundWorkbook(const cfb::CompoundFile& file, const QString& path, const PasswordAsk& ask) {
    bool truncated = false;
    const std::optional<QByteArray> stream = workbookStream(file, &truncated);
    if (!stream) refuse(path, QStringLiteral("not an .xls workbook (no Workbook stream)"));
    model::Book book = readWorkbookStream(*stream, path, ask);
    if (truncated) book.warnings.prepend(QStringLiteral("the Workbook stream is truncated"));
    props::readBuiltinProperties(file, book.properties, book.warnings);
    // Excel 5.0/95 kept macros in VB module sheets or a _VBA_PROJECT
    // storage, which the VBA reader cannot read; a later version's
    // _VBA_PROJECT_CUR beside them is read instead.
    if (book.format.name == QLatin1String("BIFF5")) {
        const cfb::Storage& root = file.root();
        book.unreadableMacros = !root.isStorage(QStringLiteral("_VBA_PROJECT_CUR")) &&
                                (book.unreadableMacros || root.isStorage(QStringLiteral("_VBA_PROJECT")));
    }
    return book;
}

model::Book loadWorkbook(const QString& path, const PasswordAsk& ask) {
    return readCompoundWorkbook(openWorkbookFile(path), path, ask);
}

}  // namespace tabulon::xls
