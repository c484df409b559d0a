#pragma once
// The loaded workbook: what the analyses ask of the spreadsheet, answered from
// the in-memory model. Read-only; loading again is the only way to refresh.
#include "host/Sheet.h"
#include "host/xls/Decrypt.h"

#include <QStringList>
#include <QVariant>
#include <memory>

namespace tabulon::host {

// The spreadsheet's LinkSources kinds.
constexpr int LinkExcel = 1;
constexpr int LinkOle = 2;

class Name {
public:
    Name(std::shared_ptr<const xls::WorkbookModel> book, int index) : book_(std::move(book)), index_(index) {}
    // The name as the spreadsheet gives it: "Total", or for a name that
    // belongs to one sheet "Sheet1!Print_Area" ("'My Sheet'!Local").
    QString name() const;
    QString refersTo() const;   // "=Sheet1!$A$1:$C$9"
    bool visible() const;
    bool isSheetLevel() const;
    // Address of the range the name refers to, without the sheet:
    // "$A$1:$C$9", "$1:$3", "$A$1,$C$3". Throws Error 1004 for a name that
    // is no range (a constant or a formula).
    QString refersToRangeAddress() const;

private:
    std::shared_ptr<const xls::WorkbookModel> book_;
    int index_;
};

class Workbook {
public:
    // Throws tabulon::Error: 53 file not found; 1004 with the reason when the
    // file is not an .xls workbook, is Excel 95, encrypted or truncated.
    // `ask` gives the password of an encrypted file the default one does not open.
    static Workbook load(const QString& path, const xls::PasswordAsk& ask = {});

    QString fullName() const;          // absolute path
    int sheetCount() const;
    Sheet sheet(int position) const;   // 1-based; Error 9 when out of range
    Sheet sheet(const QString& name) const;  // case-insensitive; Error 9 when absent
    int nameCount() const;
    Name name(int position) const;     // 1-based; Error 9 when out of range
    // Paths of linked workbooks (kind 1) or "server|topic" of OLE/DDE links
    // (kind 2); an empty list stands for the spreadsheet's Empty answer.
    QStringList linkSources(int kind) const;
    // BuiltinDocumentProperties(position).Value. Empty QVariant for a
    // property the file does not hold; Error -2147467259 for a missing date.
    QVariant builtinProperty(int position) const;
    // Records that were damaged and skipped while loading.
    QStringList warnings() const;

    const xls::WorkbookModel& model() const { return *book_; }

private:
    explicit Workbook(std::shared_ptr<const xls::WorkbookModel> book) : book_(std::move(book)) {}
    std::shared_ptr<const xls::WorkbookModel> book_;
};

}  // namespace tabulon::host
