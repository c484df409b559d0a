// The sheets of a workbook read side by side: which are read, the jobs that
// read them (and the shared strings) on as many threads as the machine has
// cores, and the cells that the shared strings let down.
#include "host/xls/Readers.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <set>
#include <system_error>
#include <thread>

namespace tabulon::xls {

// Reads the listed sheets on as many threads as the machine has cores. A
// sheet job sees only the globals, as const, and writes only its own job;
// the shared strings are a job of their own. The first failure in sheet
// order is the one reported, as if the sheets had been read one after the
// other. Cells keep only their index into the shared strings, checked
// against the count the globals announce.
void readSheetsTogether(const QByteArray& stream, const Globals& g, const FormulaContext& ctx,
                        const std::vector<size_t>& toRead, std::vector<SheetJob>& jobs,
                        const std::vector<Record>& sst, SharedStrings& strings) {
    std::vector<std::exception_ptr> failures(jobs.size());
    std::exception_ptr sstFailure;
    const size_t count = toRead.size() + 1;  // job 0: the shared strings
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t k = next++; k < count; k = next++) {
            if (k == 0) {
                try {
                    for (const Record& rec : sst) {
                        try {
                            parseSstStrings(rec, strings);
                        } catch (const FormatError& e) {
                            warn(strings.log, QStringLiteral("workbook globals"), FormatError(e.reason(), e.offset(), rec.type));
                        }
                    }
                } catch (...) {
                    sstFailure = std::current_exception();
                }
                continue;
            }
            const size_t i = toRead[k - 1];
            try {
                readSheet(stream, g.sheets[i], g, ctx, jobs[i]);
            } catch (...) {
                failures[i] = std::current_exception();
            }
        }
    };
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    for (size_t n = 1; n < std::min(cores, count); ++n) {
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
void dropLostStrings(size_t held, std::vector<SheetJob>& jobs) {
    for (SheetJob& job : jobs) {
        std::vector<CellData>& cells = job.sheet.cells;
        const auto lost = [held](const CellData& c) {
            return c.type == CellType::Text && !(c.flags & CellData::OwnText) && c.text >= held;
        };
        const auto from = std::remove_if(cells.begin(), cells.end(), lost);
        if (from == cells.end()) continue;
        job.log.add(QStringLiteral("sheet '%1': %2 cells refer to shared strings the file does not hold")
                        .arg(job.sheet.name)
                        .arg(cells.end() - from));
        cells.erase(from, cells.end());
    }
}

// Which sheets are read is settled first, from the record headers alone.
// Sheets whose offsets point into each other could make the reader go
// through the stream again and again: the total is bounded.
std::vector<size_t> sheetsToRead(const QByteArray& stream, const Globals& g, std::vector<SheetJob>& jobs) {
    std::vector<size_t> toRead;
    std::set<uint32_t> seen;
    const size_t budget = size_t(stream.size()) * 4 + 1024 * 1024;
    // A sheet goes through at most the bytes from its BOF to the end; when
    // even that cannot pass the budget, the headers need not be walked.
    size_t worst = 0;
    for (const SheetEntry& sheet : g.sheets)
        worst += size_t(stream.size()) - std::min<size_t>(size_t(stream.size()), sheet.bofOffset);
    const bool mayOverrun = worst > budget;
    size_t spent = 0;
    for (size_t i = 0; i < g.sheets.size(); ++i) {
        const SheetEntry& sheet = g.sheets[i];
        if (spent > budget) {
            jobs[i].log.add(QStringLiteral("sheet '%1' not read: sheet offsets overlap").arg(sheet.name));
            continue;
        }
        if (!seen.insert(sheet.bofOffset).second) {
            jobs[i].log.add(QStringLiteral("sheet '%1' shares its data with another sheet").arg(sheet.name));
            continue;
        }
        if (mayOverrun) spent += sheetSpan(stream, sheet.bofOffset);
        toRead.push_back(i);
    }
    return toRead;
}

}  // namespace tabulon::xls
