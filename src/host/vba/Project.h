#pragma once
// The VBA project of an .xls workbook (the `_VBA_PROJECT_CUR` storage,
// MS-OVBA): its components in collection order with the text that the VBA
// editor's Export writes for each of them.
#include "host/vba/ProjectStream.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tabulon::vba {

struct Component {
    QString name;          // the component's real name, as the workbook holds it
    ComponentType type = ComponentType::Standard;
    QString fileName;      // safe file name in the working folder, extension included
    QString exportText;    // empty while the project is locked for viewing
    QByteArray frxBytes;   // forms only: the .frx written beside the .frm
    QString frxFileName() const;
};

struct ExportResult {
    QStringList files;     // full paths of the written module files (.frx not listed)
    int standardCount = 0;
    int classCount = 0;
    int formCount = 0;
    int documentCount = 0;
};

class Project {
public:
    // Reads the project of a workbook. A workbook without VBA storage gives a
    // project that is not present. Throws Error 53 for a missing file and
    // Error 1004 for a damaged compound file or VBA storage, as a
    // host::ReadError with a Japanese description.
    static Project load(const QString& xlsPath);

    bool isPresent() const { return present_; }
    // Locked for viewing: the editor shows no code and Export fails.
    bool isProtected() const { return protected_; }
    int codePage() const { return codePage_; }
    const QList<Component>& components() const { return components_; }
    // Streams that were cut short in the file and read as far as they go.
    const QStringList& warnings() const { return warnings_; }

    // Writes every component into `folder` (created when missing) as UTF-8
    // with CRLF line ends; forms get their .frx beside them. Existing files
    // of the same name are replaced. Throws Error 50289 for a protected
    // project before anything is written.
    ExportResult exportAll(const QString& folder) const;

private:
    static Project loadFrom(const QString& xlsPath);

    QString path_;
    QStringList warnings_;
    bool present_ = false;
    bool protected_ = false;
    int codePage_ = 0;
    QList<Component> components_;
};

}  // namespace tabulon::vba
