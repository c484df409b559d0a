#pragma once
// A small writer of Excel 97-2003 workbooks for crafted test cases and the
// bundled sample: BIFF8 sheets with numbers, texts, Booleans and formulas
// (given as token bytes), defined names, document properties and a VBA
// project with standard, class and document modules. It writes what the
// reader needs to see, not everything the spreadsheet program would write.
#include <QByteArray>
#include <QString>
#include <vector>

namespace tabulon::test {

// Formula tokens (BIFF8 Rgce), built in reverse Polish order.
class Rgce {
public:
    Rgce& ref(int row, int col, bool rowRel = true, bool colRel = true);
    Rgce& area(int r1, int c1, int r2, int c2, bool rel = true);
    Rgce& ref3d(int ixti, int row, int col, bool rel = true);
    Rgce& integer(int v);
    Rgce& number(double v);
    Rgce& str(const QString& s);
    Rgce& boolean(bool v);
    Rgce& name(int nameIndex);               // 1-based NAME record index
    Rgce& op(quint8 ptg);                     // 0x03 add, 0x04 sub, 0x05 mul, 0x06 div, 0x08 concat ...
    Rgce& paren();
    Rgce& func(int index);                    // fixed-argument built-in
    Rgce& funcVar(int index, int argc);       // variable-argument built-in
    Rgce& space(int count);                   // PtgAttrSpace before the next token
    const QByteArray& bytes() const { return b_; }

private:
    QByteArray b_;
};

struct XlsCell {
    enum Kind { Number, Text, Boolean, Formula };
    int row = 0, col = 0;
    Kind kind = Number;
    double number = 0;
    QString text;          // Text value, or the cached string result of a Formula
    bool boolean = false;
    QByteArray rgce;       // Formula tokens
};

struct XlsSheet {
    QString name;
    int visibility = 0;    // 0 visible, 1 hidden, 2 very hidden
    std::vector<XlsCell> cells;

    XlsSheet& number(int row, int col, double v);
    XlsSheet& text(int row, int col, const QString& s);
    XlsSheet& boolean(int row, int col, bool v);
    XlsSheet& formula(int row, int col, const Rgce& f, double cached = 0);
};

struct XlsName {
    QString name;
    int sheetIndex = 0;    // 0 workbook-level, else 1-based sheet
    QByteArray rgce;
};

struct XlsModule {
    enum Type { Standard = 1, Class = 2, Document = 100 };
    QString name;
    Type type = Standard;
    QString code;          // the module body, without Attribute VB_Name lines
};

class XlsWriter {
public:
    XlsSheet& addSheet(const QString& name);
    void addName(const QString& name, const Rgce& refersTo, int sheetIndex = 0);
    void addModule(const QString& name, XlsModule::Type type, const QString& code);
    void setProperties(const QString& title, const QString& author, const QString& company);
    void setVbaCodePage(int cp) { vbaCodePage_ = cp; }
    void setProtectedProject(bool on) { protectedProject_ = on; }

    // Writes the compound file; returns false when the file cannot be written.
    bool save(const QString& path) const;
    QByteArray workbookStream() const;

    // The VBA compressed container of data (exposed for round-trip checks).
    static QByteArray compress(const QByteArray& data);

private:
    std::vector<XlsSheet> sheets_;
    std::vector<XlsName> names_;
    std::vector<XlsModule> modules_;
    QString title_, author_, company_;
    int vbaCodePage_ = 1252;
    bool protectedProject_ = false;
};

}  // namespace tabulon::test
