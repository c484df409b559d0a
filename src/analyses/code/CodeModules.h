#pragma once
// The modules of the workbook's VBA project as the code chapters read them:
// the five module kinds in their fixed visiting order, each module's file
// name (rows name modules by it), and the physical lines of the text the
// exporter wrote for it. The project is read once, at intake; the chapters
// walk these modules in memory and never read the exported files back.
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace tabulon::vba {
class Project;
}

namespace tabulon::analyses::code {

struct ModuleKind {
    int code;            // stored in rows (1 standard ... 5 sheet)
    QString extension;   // of the exported file: "bas", "cls", "frm", "bok", "sht"
    QString label;       // kind label of procedure rows
    QString apiLabel;    // label of API declaration rows
};

// Standard, class, form, workbook, sheet: the order every full pass follows.
const std::array<ModuleKind, 5>& moduleKinds();
const ModuleKind& moduleKind(int code);  // 1..5

// The counted modules (workbook and sheet modules are not counted).
struct ModuleCounts {
    int standard = 0;
    int classes = 0;
    int forms = 0;
    // Why the workbook's macros cannot be read (Excel 5.0/95 module sheets,
    // a project locked for viewing): the text the code chapters show. Empty
    // when they can be read.
    QString unreadable;
    int total() const { return standard + classes + forms; }
};

struct CodeModule {
    const ModuleKind* kind = nullptr;
    QString fileName;      // "Module1.bas": the exported file's name
    QStringList lines;     // the exported text's physical lines
    // The "VERSION 1.0 CLASS" block the exporter writes before the source of
    // a class or document module (4 lines); 0 for other modules. A form's
    // design lines are not counted here: the chapters list them as written.
    int headerLines = 0;
    bool holdsCode = false;  // more than attribute, Option and blank lines
};
using CodeModules = std::vector<CodeModule>;
using ModuleList = std::vector<const CodeModule*>;

// One module from its exported text. The kind comes from the file name's
// extension; a name with another extension gives no module (kind null).
CodeModule codeModule(const QString& fileName, const QString& exportText);
// Every exported component of the project, in visiting order: kind by kind,
// within a kind by file name in Unicode code point order, so that module
// numbers are the same in every run.
CodeModules codeModules(const vba::Project& project);
// Sorts modules into that visiting order.
void putInVisitingOrder(CodeModules& modules);
// The modules of the given kinds (codes), in visiting order; `byName` puts
// all of them in file-name order instead, whatever their kind.
ModuleList modulesOf(const CodeModules& modules, std::initializer_list<int> kinds, bool byName = false);
// Whether any module holds code (of any kind).
bool anyCode(const CodeModules& modules);

// The kind a file name's last three characters give ("bas" 1 ... "sht" 5), or 0.
int kindFromExtension(const QString& fileName);

// Physical lines of an exported text. A line ends at CR or CR LF (a lone LF
// stays in the line); the last line needs no terminator.
QStringList splitModuleLines(const QString& text);

// Percentage after a module: Int(100 / n + 0.5) times the module number.
int progressAfterFile(int moduleNumber, int n);

// Hands out a module's physical lines one at a time, the way sequential line
// input does; a rule that reads ahead (a Type block, a continued statement)
// asks atEnd() first.
class LineReader {
public:
    explicit LineReader(const QStringList& lines) : lines_(lines) {}
    bool atEnd() const { return pos_ >= lines_.size(); }
    // The next physical line; reading at the end fails with error 62.
    QString next();

private:
    const QStringList& lines_;
    qsizetype pos_ = 0;
};

}  // namespace tabulon::analyses::code
