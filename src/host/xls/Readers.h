#pragma once
// The record parsers, grouped by substream. Each parse function reads one
// record type; a FormatError thrown by one of them costs only that record.
#include "host/xls/Globals.h"
#include "host/xls/RecordStream.h"

#include <utility>
#include <vector>

namespace tabulon::xls {

class FormulaContext;

// The workbook globals substream from its BOF to its EOF. Throws
// tabulon::Error for a workbook that cannot be read at all (encrypted).
// The shared-string records are only counted (book.sstCount) and handed
// back in sst, to be read with parseSstStrings while the sheets are read.
// `decrypted` says the stream has been decrypted: its FILEPASS is passed over.
void readGlobals(RecordStream& stream, Globals& book, std::vector<Record>& sst, bool decrypted);

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

// The shared strings, read by a job of their own while the sheets are read.
struct SharedStrings {
    std::vector<QString> strings;
    std::map<uint32_t, TextRuns> runs;  // strings that carry formatting runs, by index
    WarningLog log;
};

// What one sheet job writes: its own sheet, warnings and (Excel 5.0/95) link
// table. Jobs share nothing they write; their outputs join the workbook after
// all of them are done.
// Where a chart series takes its name, values or categories from in the
// cells (an AI record's reference): for a chart whose file keeps no cache.
struct ChartSource {
    size_t chart = 0;            // in the job's charts
    size_t series = 0;           // in the chart's series, in file order
    int part = 0;                // 0 name, 1 values, 2 categories
    int xti = 0;                 // the sheet, through the XTI list
    model::Area area;
};

struct SheetJob {
    model::Sheet sheet;
    std::vector<model::Chart> charts;  // the sheet's charts; its shapes and chart count into these
    std::vector<ChartSource> chartSources;
    WarningLog log;
    std::vector<SupBookModel> localSupBooks;  // Excel 5.0/95: the sheet's own link table,
    std::vector<XtiModel> localXti;           // which its formulas count into
};

// The records of one chart substream, from after its BOF to before its EOF,
// as the chart they describe; damaged records are skipped into log.
// The cell references of its series go to sources, numbered for the chart
// `chart` of the job.
model::Chart readChartRecords(const std::vector<Record>& records, const Globals& book, WarningLog& log,
                              std::vector<ChartSource>& sources, size_t chart);

// Series whose file keeps no cached values take them from the cells their
// references name (sources of the charts from book.charts[first] on).
void fillChartsFromCells(model::Book& book, const Globals& g, const std::vector<ChartSource>& sources, size_t first);
// Each point of a group coloured by point gets the default colour of its place
// unless it has its own.
void colourChartPoints(model::Chart& chart);

// One sheet substream, starting at entry.bofOffset, into job. Returns the
// number of stream bytes it went through. Reads only the globals, which it
// cannot change, so that sheets can be read at the same time.
size_t readSheet(const QByteArray& stream, const SheetEntry& entry, const Globals& book,
                 const FormulaContext& ctx, SheetJob& job);
// The bytes readSheet goes through for the sheet at bofOffset, found from
// the record headers alone.
size_t sheetSpan(const QByteArray& stream, uint32_t bofOffset);

// Which sheets are read, settled from the record headers alone: a sheet that
// shares its data with another, or one past the budget that sheets whose
// offsets point into each other could exhaust, is left out with a warning
// in its job's log.
std::vector<size_t> sheetsToRead(const QByteArray& stream, const Globals& g, std::vector<SheetJob>& jobs);
// Reads the listed sheets (into jobs[i]) and the shared strings (the SST
// records, into strings) side by side. The first failure in sheet order is
// the one thrown, as if the sheets had been read one after the other.
void readSheetsTogether(const QByteArray& stream, const Globals& g, const FormulaContext& ctx,
                        const std::vector<size_t>& toRead, std::vector<SheetJob>& jobs,
                        const std::vector<Record>& sst, SharedStrings& strings);
// Leaves out the cells that refer to shared strings past the `held` ones
// the SST records gave, with a warning.
void dropLostStrings(size_t held, std::vector<SheetJob>& jobs);

// Records of the globals substream.
void parseBoundSheet(const Record& rec, Globals& book);
// One sheet of the BOUNDSHEET list: state is hsState, dt the sheet type.
void addBoundSheet(Globals& book, uint32_t bof, int state, int dt, const QString& name);
uint32_t sstAnnounced(const Record& rec);  // the strings an SST record says it holds
void parseSstStrings(const Record& rec, SharedStrings& strings);
// count FormatRun entries (MS-XLS 2.5.129) of a text of textLength
// characters, their fonts as model font numbers. Runs that start past the
// text or out of order are dropped; a count larger than the bytes present
// reads the runs that are there.
TextRuns readFormatRuns(ByteCursor& c, size_t count, qsizetype textLength);
void parseLbl(const Record& rec, Globals& book);
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
void parseSupBook(const Record& rec, Globals& book);
void parseExternSheet(const Record& rec, Globals& book);
void parseExternName(const Record& rec, Globals& book);

// Excel 5.0/95 (BIFF5) forms of the records whose layout differs from
// BIFF8 (Biff5Records.cpp). The globals parser takes BOUNDSHEET, NAME,
// EXTERNSHEET and EXTERNNAME and answers false for any other record.
bool parseBiff5GlobalRecord(const Record& rec, Globals& book);
// A BIFF5 sheet keeps its own link table (EXTERNSHEET, EXTERNNAME) before
// its cells; its formulas count into it. One record of it into
// job.localSupBooks and job.localXti.
void parseBiff5LinkRecord(const Record& rec, const Globals& book, SheetJob& job);
// The other books the sheets' link tables name join the workbook's list.
void gatherBiff5Links(const std::vector<SheetJob>& jobs, Globals& book);
// cch bytes of text in the workbook's code page.
QString biff5Chars(ByteCursor& c, size_t cch, int codePage);

// Turns an encoded VirtualPath (MS-XLS 2.5.277) into the path the spreadsheet
// shows; relative paths are resolved against bookFolder.
QString decodeVirtualPath(const QString& encoded, const QString& bookFolder);

// The names as the model keeps them: their formula text, and the areas it
// covers when it is a range. Also the binary workbook's (biff 12), whose
// names the .xlsb reader gathers into the same tables.
void resolveNames(const Globals& g, const FormulaContext& ctx, model::Book& book);
// The links to other files, in the order of the SUPBOOK records.
std::vector<model::Link> linksOf(const Globals& g);
// The functions of the add-in links, in file order.
QStringList addInFunctionsOf(const Globals& g);

// An RkNumber (MS-XLS 2.5.217), which binary workbooks store alike.
double rkValue(uint32_t rk);

// "Print_Area" etc. for a built-in name's one-character code.
QString builtinNameText(int code);

// Adds a warning built from a record's damage.
void warn(Globals& book, const QString& where, const FormatError& e);
void warn(WarningLog& log, const QString& where, const FormatError& e);

}  // namespace tabulon::xls
