#pragma once
// A small writer of Excel 97-2003 workbooks for the bundled sample, the
// benchmark workbooks and crafted test cases: BIFF8 sheets with numbers,
// texts, Booleans and formulas (given as token bytes), defined names,
// references to other workbooks, cell comments, text boxes and macro buttons,
// document properties and a VBA project with standard, class, form and
// document modules. It writes what the reader needs to see, not everything the
// spreadsheet program would write.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

namespace tabulon::xlsw {

// Formula tokens (BIFF8 Rgce), built in reverse Polish order.
class Rgce {
public:
    // biff12: the binary workbook's (.xlsb) forms: 32-bit rows, strings as
    // UTF-16 with a 16-bit count.
    explicit Rgce(bool biff12 = false) : wide_(biff12) {}
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
    void row(int r);
    QByteArray b_;
    bool wide_ = false;
};

struct XlsCell {
    enum Kind { Number, Text, Boolean, Formula, Error };
    int row = 0, col = 0;
    Kind kind = Number;
    double number = 0;
    QString text;          // Text value, or the cached string result of a Formula
    bool boolean = false;
    QByteArray rgce;       // Formula tokens
    QByteArray extra;      // .xlsb only: the formula's extra bytes (a shared formula's PtgExtraCol ...)
    int errorCode = -1;    // Error: the BIFF error code (0x07 #DIV/0!); a Formula's error result
};

// A drawing object on a sheet. Object ids follow the order the shapes were
// added (1, 2, ...), which is what the default names are built from.
struct XlsShape {
    enum Kind { Note, TextBox, Button, Picture, CheckBox };
    Kind kind = TextBox;
    int row = 0, col = 0;  // top-left cell of the anchor (a note: its cell)
    int cols = 1, rows = 2;  // the anchor's size in cells (not a note's)
    QString text;          // a note's text without the author line
    QString author;        // a note's author
    QString macro;         // a button's macro, e.g. "Module1.ShowMenu"
    QString name;          // stored name; empty leaves the default name
    int fillRgb = -1;      // 0xRRGGBB, or -1 for the default fill
    int lineDashing = -1;  // MSOLINEDASHING (1 dash, 2 dot, ...), -1 solid
    bool lineVisible = true;  // false writes the line switched off
    QByteArray png;        // a picture's image (a PNG file) for the BLIP store; empty: none
    bool shown = false;    // a note kept in view rather than shown on hover
    int checked = 0;       // a check box's state: 0 off, 1 on, 2 mixed
};

struct XlsSheet {
    QString name;
    int visibility = 0;    // 0 visible, 1 hidden, 2 very hidden
    bool chart = false;    // a chart sheet: no cells are written
    std::vector<XlsCell> cells;
    std::deque<XlsShape> shapes;  // a deque keeps returned references valid
    QByteArray extraRecords;      // whole records written after the cells (layout, page setup)
    bool protectedContents = false;  // PROTECT record
    quint16 passwordHash = 0;        // PASSWORD record when not 0
    // From the shape with this index on (0-based), the drawing's pieces go
    // in CONTINUE records after the OBJ or TXO before them, as Excel writes
    // sheets with many objects; -1 keeps them all in MSODRAWING records.
    int drawingInContinuesFrom = -1;

    XlsSheet& number(int row, int col, double v);
    XlsSheet& text(int row, int col, const QString& s);
    XlsSheet& boolean(int row, int col, bool v);
    XlsSheet& formula(int row, int col, const Rgce& f, double cached = 0);
    XlsSheet& error(int row, int col, int code);
    XlsSheet& formulaError(int row, int col, const Rgce& f, int code);
    // The comment text is stored as the spreadsheet stores it: "author:\n" first.
    XlsShape& note(int row, int col, const QString& author, const QString& text);
    XlsShape& textBox(int row, int col, const QString& text);
    XlsShape& button(int row, int col, const QString& caption, const QString& macro);
    // A picture frame: no text, no line, as the spreadsheet inserts one.
    XlsShape& picture(int row, int col);
    // A check box of the Forms toolbar with its label and state.
    XlsShape& checkBox(int row, int col, const QString& label, int checked);
};

struct XlsName {
    QString name;
    int sheetIndex = 0;    // 0 workbook-level, else 1-based sheet
    QByteArray rgce;
};

struct XlsModule {
    enum Type { Standard = 1, Class = 2, Form = 3, Document = 100 };
    QString name;
    Type type = Standard;
    QString code;          // the module body, without Attribute VB_Name lines
    QString caption;       // a form's caption
    bool damaged = false;  // its stream holds no compressed container
};

struct XlsExternalBook {
    QString path;          // e.g. C:\data\Prices.xls
    QStringList sheets;
};

class XlsWriter {
public:
    XlsSheet& addSheet(const QString& name);
    XlsSheet& sheet(int index) { return sheets_.at(size_t(index)); }
    void addName(const QString& name, const Rgce& refersTo, int sheetIndex = 0);
    void addModule(const QString& name, XlsModule::Type type, const QString& code);
    void addModule(const XlsModule& module) { modules_.push_back(module); }
    // A user form: the module's code plus a designer storage with the form's
    // properties and empty control streams.
    void addForm(const QString& name, const QString& caption, const QString& code);
    // A sheet of another workbook; returns the ixti for Rgce::ref3d. Its XTI
    // follows those of the own sheets, so add every sheet first.
    int addExternalSheet(const QString& bookPath, const QString& sheetName);
    void setProperties(const QString& title, const QString& author, const QString& company);
    // The Creation Date and the Last Print Date; an invalid one is not written
    // (a workbook never printed has no print date).
    void setDates(const QDateTime& created, const QDateTime& printed = {}) { created_ = created; printed_ = printed; }
    void setVbaCodePage(int cp) { vbaCodePage_ = cp; }
    void setProtectedProject(bool on) { protectedProject_ = on; }
    // Whole records written into the globals after the code page (FONT, XF, ...).
    QByteArray extraGlobals;
    // The workbook stream's name ("Book" as Excel 5.0/95 wrote it) and, when
    // not empty, bytes written there instead of the built stream.
    void setWorkbookStream(const char* name, const QByteArray& bytes = {}) { streamName_ = name; streamBytes_ = bytes; }

    // Writes the compound file; returns false when the file cannot be written.
    bool save(const QString& path) const;
    QByteArray workbookStream() const;

    // The VBA compressed container of data (exposed for round-trip checks).
    static QByteArray compress(const QByteArray& data);

private:
    std::vector<XlsSheet> sheets_;
    std::vector<XlsName> names_;
    std::vector<XlsModule> modules_;
    std::vector<XlsExternalBook> externalBooks_;
    std::vector<std::pair<int, int>> externalXti_;  // (book, sheet) after the own sheets
    QString title_, author_, company_;
    QDateTime created_, printed_;
    int vbaCodePage_ = 1252;
    bool protectedProject_ = false;
    const char* streamName_ = "Workbook";
    QByteArray streamBytes_;
};

}  // namespace tabulon::xlsw
