#pragma once
// What one read of one file found: the row of the file table and the rows of
// its modules, procedures and findings. A worker process fills it and hands it
// to the run as one JSON line, so a crash of the reader never reaches the run.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tabulon::inventory {

enum class FileKind { Workbook, Failed, Other };
QString kindName(FileKind kind);  // as stored: workbook, failed, other

struct ModuleFacts {
    QString name;
    QString type;                  // standard, class, form, document
    std::optional<qint64> lines;   // none while the project is locked
    std::optional<qint64> codeLines;
    QStringList procedures;
    QString codeSha256;            // empty: the module holds no code
};

struct Finding {
    QString kind;    // link, dde_ole, autorun, shape_macro, addin
    QString place;   // a sheet or module
    QString name;    // a procedure, shape or defined name
    QString target;  // a link target, a macro, an occasion
};

struct SheetCounts {
    int worksheets = 0, charts = 0, macroSheets = 0, dialogs = 0;
    int hidden = 0, veryHidden = 0;
    qint64 usedCells = 0, formulaCells = 0, notes = 0;
};

struct FileFacts {
    QString path;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    FileKind kind = FileKind::Other;
    QString sha256;
    QString format;
    bool encrypted = false;
    bool defaultPassword = false;
    bool vba = false;
    bool vbaLocked = false;
    QString vbaError;
    SheetCounts sheets;
    int definedNames = 0;
    int externalLinks = 0;
    int shapesWithMacros = 0;
    QStringList warnings;
    qint64 readMs = 0;
    QString error;        // for the user (Japanese)
    QString errorDetail;  // technical
    std::vector<ModuleFacts> modules;
    std::vector<Finding> findings;

    qint64 vbaLines() const;
    qint64 vbaProcedures() const;
    int count(const QString& findingKind) const;
};

QJsonObject toJson(const FileFacts& facts);
FileFacts factsFromJson(const QJsonObject& json);

// A file the run could not have read at all: the worker timed out, died or
// the file vanished under it. Keeps path, size and time, so the file is not
// read again until it changes.
FileFacts failedFacts(const QString& path, qint64 size, qint64 mtimeNs, const QString& error,
                      const QString& detail);

}  // namespace tabulon::inventory
