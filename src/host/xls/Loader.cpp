#include "host/xls/Loader.h"

#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/cfb/CompoundFile.h"
#include "host/props/PropertySets.h"
#include "host/xls/BookContext.h"
#include "host/xls/Decrypt.h"
#include "host/xls/DrawingReader.h"
#include "host/xls/Readers.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <set>
#include <system_error>
#include <thread>
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

void parseGlobalRecord(const Record& rec, WorkbookModel& book) {
    if (book.biff == 5 && parseBiff5GlobalRecord(rec, book)) return;
    switch (rec.type) {
    case rt::BoundSheet8: parseBoundSheet(rec, book); break;
    case rt::Lbl: parseLbl(rec, book); break;
    case rt::SupBook: parseSupBook(rec, book); break;
    case rt::ExternSheet: parseExternSheet(rec, book); break;
    case rt::ExternName: parseExternName(rec, book); break;
    case rt::Palette: parsePalette(rec, book); break;
    case rt::CodePage: { ByteCursor c = rec.cursor(); book.codePage = c.u16(); break; }  // 2.4.52
    default: break;
    }
}

void resolveNames(WorkbookModel& book, const FormulaContext& ctx) {
    for (size_t i = 0; i < book.names.size(); ++i) {
        NameModel& n = book.names[i];
        FormulaInput in;
        in.rgce = n.rgce.data();
        in.cce = n.rgce.size();
        in.extra = n.extra.empty() ? nullptr : n.extra.data();
        in.extraSize = n.extra.size();
        in.kind = FormulaKind::Name;
        in.biff5 = book.biff == 5;
        in.codePage = book.codePage;
        try {
            n.refersTo = n.rgce.empty() ? QStringLiteral("=") : decodeFormula(in, ctx);
        } catch (const FormatError& e) {
            warn(book, QStringLiteral("name '%1'").arg(n.name), e);
            n.refersTo = QStringLiteral("=#REF!");
        } catch (const Error& e) {
            book.warnings << QStringLiteral("name '%1': formula unreadable: %2").arg(n.name, e.description());
            n.refersTo = QStringLiteral("=#REF!");
        }
    }
}

// Reads the listed sheets on as many threads as the machine has cores. A
// sheet reads only the globals, which no longer change, and writes only its
// own model and log. The first failure in sheet order is the one reported,
// as if the sheets had been read one after the other.
// The shared strings are read at the same time: cells keep only their
// index into them, checked against the count the globals announce.
void readSheetsTogether(const QByteArray& stream, WorkbookModel& book, const FormulaContext& ctx,
                        const std::vector<size_t>& toRead, std::vector<WarningLog>& logs,
                        const std::vector<Record>& sst) {
    std::vector<std::exception_ptr> failures(book.sheets.size());
    std::exception_ptr sstFailure;
    const size_t jobs = toRead.size() + 1;  // job 0: the shared strings
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t k = next++; k < jobs; k = next++) {
            if (k == 0) {
                try {
                    for (const Record& rec : sst) {
                        try {
                            parseSstStrings(rec, book);
                        } catch (const FormatError& e) {
                            warn(book, QStringLiteral("workbook globals"), FormatError(e.reason(), e.offset(), rec.type));
                        }
                    }
                } catch (...) {
                    sstFailure = std::current_exception();
                }
                continue;
            }
            const size_t i = toRead[k - 1];
            try {
                readSheet(stream, book.sheets[i], std::as_const(book), ctx, logs[i]);
            } catch (...) {
                failures[i] = std::current_exception();
            }
        }
    };
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    for (size_t n = 1; n < std::min(cores, jobs); ++n) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // no more threads: the ones running take the rest
        }
    }
    work();
    for (std::thread& t : helpers) t.join();
    if (sstFailure) std::rethrow_exception(sstFailure);
    for (const std::exception_ptr& failure : failures)
        if (failure) std::rethrow_exception(failure);
}

// A damaged SST holds fewer strings than it announced: cells that refer to
// the missing ones are left out, as a cell with an unreadable value is.
void dropLostStrings(WorkbookModel& book, std::vector<WarningLog>& logs) {
    const size_t held = book.sst.size();
    for (size_t i = 0; i < book.sheets.size(); ++i) {
        std::vector<CellData>& cells = book.sheets[i].cells;
        const auto lost = [held](const CellData& c) {
            return c.type == CellType::Text && !(c.flags & CellData::OwnText) && c.text >= held;
        };
        const auto from = std::remove_if(cells.begin(), cells.end(), lost);
        if (from == cells.end()) continue;
        logs[i].add(QStringLiteral("sheet '%1': %2 cells refer to shared strings the file does not hold")
                        .arg(book.sheets[i].name)
                        .arg(cells.end() - from));
        cells.erase(from, cells.end());
    }
}

}  // namespace

void readGlobals(RecordStream& rs, WorkbookModel& book, std::vector<Record>& sst) {
    Record rec;
    while (rs.next(rec)) {
        if (rec.type == rt::Eof) return;
        if (rec.type == rt::FilePass) {
            if (book.decrypted) continue;
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

WorkbookModel readWorkbookStream(const QByteArray& stored, const QString& path, const PasswordAsk& ask) {
    WorkbookModel book;
    book.path = QFileInfo(path).absoluteFilePath();
    // An encrypted stream is read from its decrypted copy, held in memory only.
    book.decrypted = filePassEnd(stored).has_value();
    const QByteArray stream = book.decrypted ? decryptWorkbookStream(stored, path, ask) : stored;
    if (book.decrypted) book.decryptedStream = stream;
    RecordStream rs(stream);
    book.biff = checkFirstBof(rs, path);
    std::vector<Record> sst;
    readGlobals(rs, book, sst);

    const BookContext ctx(book);
    // Which sheets are read is settled first, from the record headers alone;
    // the sheets are then read side by side, each into its own model and
    // warning log, and the logs join the workbook's in sheet order.
    std::vector<WarningLog> logs(book.sheets.size());
    std::vector<size_t> toRead;
    std::set<uint32_t> seen;
    // Sheets whose offsets point into each other could make the reader go
    // through the stream again and again: the total is bounded.
    const size_t budget = size_t(stream.size()) * 4 + 1024 * 1024;
    // A sheet goes through at most the bytes from its BOF to the end; when
    // even that cannot pass the budget, the headers need not be walked.
    size_t worst = 0;
    for (const SheetModel& sheet : book.sheets)
        worst += size_t(stream.size()) - std::min<size_t>(size_t(stream.size()), sheet.bofOffset);
    const bool mayOverrun = worst > budget;
    size_t spent = 0;
    for (size_t i = 0; i < book.sheets.size(); ++i) {
        const SheetModel& sheet = book.sheets[i];
        if (spent > budget) {
            logs[i].add(QStringLiteral("sheet '%1' not read: sheet offsets overlap").arg(sheet.name));
            continue;
        }
        if (!seen.insert(sheet.bofOffset).second) {
            logs[i].add(QStringLiteral("sheet '%1' shares its data with another sheet").arg(sheet.name));
            continue;
        }
        if (mayOverrun) spent += sheetSpan(stream, sheet.bofOffset);
        toRead.push_back(i);
    }
    readSheetsTogether(stream, book, ctx, toRead, logs, sst);
    if (book.sst.size() < book.sstCount) dropLostStrings(book, logs);
    for (const WarningLog& log : logs) log.appendTo(book.warnings);
    if (book.biff == 5) gatherBiff5Links(book);
    resolveNames(book, ctx);
    return book;
}

std::optional<QByteArray> workbookStream(const cfb::CompoundFile& file, bool* truncated) {
    std::optional<QByteArray> stream = file.rootStreamView(QStringLiteral("Workbook"), truncated);
    if (!stream) stream = file.rootStreamView(QStringLiteral("Book"), truncated);
    return stream;
}

WorkbookModel loadWorkbook(const QString& path, const PasswordAsk& ask) {
    std::unique_ptr<cfb::CompoundFile> opened;
    try {
        opened = std::make_unique<cfb::CompoundFile>(path);
    } catch (const Error& e) {
        if (e.number() == err::Refused && startsWithOldBof(path)) refuseTooOld(path);
        throw;
    }
    const cfb::CompoundFile& file = *opened;
    bool truncated = false;
    const std::optional<QByteArray> stream = workbookStream(file, &truncated);
    if (!stream) refuse(path, QStringLiteral("not an .xls workbook (no Workbook stream)"));
    WorkbookModel book = readWorkbookStream(*stream, path, ask);
    if (truncated) book.warnings.prepend(QStringLiteral("the Workbook stream is truncated"));
    props::readBuiltinProperties(file, book.properties, book.warnings);
    return book;
}

}  // namespace tabulon::xls
