#pragma once
// A page header or footer as the spreadsheet stores it ("&L...&C...&R...",
// with codes for the page number, the page count, the date, ...), turned
// into the three texts of one printed page. Font codes are dropped: the
// sections print in the sheet's default font.
#include <QDateTime>
#include <QString>

namespace tabulon::reports::sheet {

struct PageFacts {
    int page = 1;
    int pages = 1;
    QDateTime printed;
    QString filePath;   // the workbook's full path
    QString sheetName;
};

struct HeaderFooterText {
    QString left, centre, right;
    bool isEmpty() const { return left.isEmpty() && centre.isEmpty() && right.isEmpty(); }
};

HeaderFooterText expandHeaderFooter(const QString& code, const PageFacts& facts);

}  // namespace tabulon::reports::sheet
