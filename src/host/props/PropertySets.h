#pragma once
// Document properties of the workbook: the SummaryInformation and
// DocumentSummaryInformation property sets (MS-OLEPS), addressed by the
// positions of the spreadsheet's built-in document property collection
// (1 Title ... 30 Number of characters with spaces).
#include <QStringList>
#include <QVariant>
#include <map>

namespace tabulon::cfb {
class CompoundFile;
}

namespace tabulon::props {

// Fills position -> value for every property the file holds. Texts are
// QString, counts int, dates QDateTime (local time); damage is a warning.
void readBuiltinProperties(const cfb::CompoundFile& file, std::map<int, QVariant>& out, QStringList& warnings);

// Positions whose value is a date; the spreadsheet fails on these when the
// file lacks them instead of answering empty.
bool isDatePosition(int position);

// Text in a Windows code page (932, 1252, ...) to Unicode; forwards to
// host::decodeCodePage.
QString fromCodePage(const QByteArray& bytes, int codePage);

}  // namespace tabulon::props
