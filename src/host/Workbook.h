#pragma once
// The loaded workbook: what the analyses ask of the spreadsheet, answered from
// the in-memory model. Read-only; loading again is the only way to refresh.
#include "host/Password.h"
#include "host/Sheet.h"

#include <QStringList>
#include <QVariant>
#include <memory>

namespace tabulon::vba { class Project; }

namespace tabulon::host {

// The spreadsheet's LinkSources kinds.
constexpr int LinkExcel = 1;
constexpr int LinkOle = 2;

class Name {
public:
    Name(std::shared_ptr<const model::Book> book, int index) : book_(std::move(book)), index_(index) {}
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
    const model::Name& model() const { return book_->names[size_t(index_)]; }
    std::shared_ptr<const model::Book> book_;
    int index_;
};

class Workbook {
public:
    // Reads the file, once: the workbook and its VBA project. Throws
    // tabulon::Error: 53 file not found; 1004 with the reason when the file
    // is not an .xls workbook, is Excel 2.x-4.0, encrypted or truncated.
    // `ask` gives the password of an encrypted file the default one does not
    // open. A VBA project that cannot be read does not stop the workbook
    // from loading: vbaProject() tells why.
    static Workbook load(const QString& path, const PasswordAsk& ask = {});
    // A workbook over a model another reader filled.
    static Workbook fromModel(model::Book book);

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
    // The VBA project, read with the workbook: not present (isPresent()
    // false) when the workbook has none. Throws the host::ReadError that
    // reading it gave when the file holds a project that cannot be read.
    std::shared_ptr<const vba::Project> vbaProject() const;
    // The workbook holds macros in a form the VBA reader cannot read (Excel
    // 5.0/95 module sheets or project).
    bool hasUnreadableMacros() const { return book_->unreadableMacros; }

    const model::Book& model() const { return *book_; }

private:
    explicit Workbook(std::shared_ptr<const model::Book> book) : book_(std::move(book)) {}
    std::shared_ptr<const model::Book> book_;
};

}  // namespace tabulon::host
