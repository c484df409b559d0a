#pragma once
// The record parsers, grouped by substream. Each parse function reads one
// record type; a FormatError thrown by one of them costs only that record.
#include "host/xls/Model.h"
#include "host/xls/RecordStream.h"

#include <utility>
#include <vector>

namespace tabulon::xls {

class FormulaContext;

// The workbook globals substream from its BOF to its EOF. Throws
// tabulon::Error for a workbook that cannot be read at all (encrypted).
// The shared-string records are only counted (book.sstCount) and handed
// back in sst, to be read with parseSstStrings while the sheets are read.
void readGlobals(RecordStream& stream, WorkbookModel& book, std::vector<Record>& sst);

// The warnings of one sheet, kept apart while sheets are read side by side
// and added to the workbook's list in sheet order afterwards. Damage
// warnings are capped: the workbook keeps them only while it holds fewer
// than kWarningCap warnings, the same rule whether sheets were read one
// after the other or together.
constexpr qsizetype kWarningCap = 1000;

class WarningLog {
public:
    void add(QString text) { push(std::move(text), false); }
    void addCapped(QString text) {
        // The workbook will hold at least as many as this sheet kept.
        if (kept_ < kWarningCap) push(std::move(text), true);
    }
    void appendTo(QStringList& warnings) const;

private:
    void push(QString text, bool capped);
    std::vector<std::pair<QString, bool>> items_;  // text, capped
    qsizetype kept_ = 0;
};

// One sheet substream, starting at sheet.bofOffset. Returns the number of
// stream bytes it went through. Reads only what the globals hold in book,
// so that sheets can be read at the same time.
size_t readSheet(const QByteArray& stream, SheetModel& sheet, const WorkbookModel& book,
                 const FormulaContext& ctx, WarningLog& log);
// The same, adding the sheet's warnings to the workbook.
size_t readSheet(const QByteArray& stream, SheetModel& sheet, WorkbookModel& book,
               const FormulaContext& ctx);
// The bytes readSheet goes through for the sheet at bofOffset, found from
// the record headers alone.
size_t sheetSpan(const QByteArray& stream, uint32_t bofOffset);

// Records of the globals substream.
void parseBoundSheet(const Record& rec, WorkbookModel& book);
// One sheet of the BOUNDSHEET list: state is hsState, dt the sheet type.
void addBoundSheet(WorkbookModel& book, uint32_t bof, int state, int dt, const QString& name);
uint32_t sstAnnounced(const Record& rec);  // the strings an SST record says it holds
void parseSstStrings(const Record& rec, WorkbookModel& book);
// count FormatRun entries (MS-XLS 2.5.129) of a text of textLength
// characters. Runs that start past the text or out of order are dropped; a
// count larger than the bytes present reads the runs that are there.
TextRuns readFormatRuns(ByteCursor& c, size_t count, qsizetype textLength);
void parseLbl(const Record& rec, WorkbookModel& book);
// The fixed part of a NAME record, laid out alike in BIFF5 and BIFF8: the
// flags and sheet go into name; the name's length (cch), the formula's (cce)
// and the sum of the four text lengths that may follow the formula.
struct NameHeader {
    NameModel name;
    size_t cch = 0, cce = 0, textLengths = 0;
};
NameHeader readNameHeader(ByteCursor& c);
// The formula (cce bytes) and the bytes after it, but for the last `keep`,
// into name.
void takeNameFormula(ByteCursor& c, NameModel& name, size_t cce, size_t keep);
void parseSupBook(const Record& rec, WorkbookModel& book);
void parseExternSheet(const Record& rec, WorkbookModel& book);
void parseExternName(const Record& rec, WorkbookModel& book);

// Excel 5.0/95 (BIFF5) forms of the records whose layout differs from
// BIFF8 (Biff5Records.cpp). The globals parser takes BOUNDSHEET, NAME,
// EXTERNSHEET and EXTERNNAME and answers false for any other record.
bool parseBiff5GlobalRecord(const Record& rec, WorkbookModel& book);
// A BIFF5 sheet keeps its own link table (EXTERNSHEET, EXTERNNAME) before
// its cells; its formulas count into it. Read into sheet.localSupBooks and
// sheet.localXti.
void readBiff5LinkTable(const QByteArray& stream, SheetModel& sheet, const WorkbookModel& book);
// The other books the sheets' link tables name join the workbook's list.
void gatherBiff5Links(WorkbookModel& book);
// cch bytes of text in the workbook's code page.
QString biff5Chars(ByteCursor& c, size_t cch, int codePage);

// Turns an encoded VirtualPath (MS-XLS 2.5.277) into the path the spreadsheet
// shows; relative paths are resolved against bookFolder.
QString decodeVirtualPath(const QString& encoded, const QString& bookFolder);

// "Print_Area" etc. for a built-in name's one-character code.
QString builtinNameText(int code);

// Adds a warning built from a record's damage.
void warn(WorkbookModel& book, const QString& where, const FormatError& e);
void warn(WarningLog& log, const QString& where, const FormatError& e);

}  // namespace tabulon::xls
