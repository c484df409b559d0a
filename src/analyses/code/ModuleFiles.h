#pragma once
// The exported module files in the working folder: the five module kinds in
// their fixed visiting order, the listing of one kind's files, the module
// names that rows carry, and a reader that hands out physical lines the way
// sequential line input does.
#include <QString>
#include <QStringList>
#include <array>

namespace tabulon::analyses::code {

struct ModuleKind {
    int code;            // stored in rows (1 standard ... 5 sheet)
    QString pattern;     // file pattern in the working folder
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
    bool unreadable = false;  // the workbook's macros are in a form the exporter cannot read
    int total() const { return standard + classes + forms; }
};

// Full paths of the files of `folder` matching `pattern` ("*.bas", or "*.*"
// for every file), sorted by file name in Unicode code point order so that
// module numbers do not depend on the file system.
QStringList listModuleFiles(const QString& folder, const QString& pattern);

// The working folder ends with the separator; rows name modules by the text
// after the first "temp" + separator in their path (the extension stays).
QString workingFolderMarker();
QString moduleNameFromPath(const QString& path);
// The text after the last separator ("/" or "\").
QString fileNamePart(const QString& path);

// The kind a path's last three characters give ("bas" 1 ... "sht" 5), or 0.
int kindFromExtension(const QString& path);

// Percentage after a file: Int(100 / n + 0.5) times the module number.
int progressAfterFile(int moduleNumber, int n);

// Physical lines of one module file. A line ends at CR or CR LF (a lone LF
// stays in the line); the last line needs no terminator. Text is UTF-8; a file
// that is not valid UTF-8 is taken as the legacy Japanese code page.
class LineReader {
public:
    explicit LineReader(const QString& path);  // Error 53 when it cannot be read
    // The lines of a module text already in memory (a component's export
    // text), read by the same rules as its exported file.
    static LineReader ofText(QString text);
    bool atEnd() const { return pos_ >= text_.size(); }
    // The next physical line; reading at the end fails with error 62.
    QString next();

private:
    LineReader() = default;
    QString text_;
    qsizetype pos_ = 0;
};

// Decoding used by LineReader, exposed for tests.
QString decodeModuleText(const QByteArray& bytes);

}  // namespace tabulon::analyses::code
