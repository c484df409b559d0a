#pragma once
// The VBA project of a workbook (MS-OVBA): its components in collection
// order with the text that the VBA editor's Export writes for each of them.
// An .xls keeps it in its `_VBA_PROJECT_CUR` storage; an Office Open XML
// package in a compound file of its own (`xl/vbaProject.bin`), whose root is
// the project's storage. Read once, with the workbook.
#include "host/cfb/CompoundFile.h"
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
    // Reads the project from its storage (the one holding `VBA` and
    // `PROJECT`); `path` names the workbook in messages. A null storage gives
    // a project that is not present. Throws a host::ReadError with a
    // Japanese description when the project cannot be read.
    static Project read(const cfb::Storage& storage, const QString& path);
    // The same from the bytes of a compound file whose root is the project.
    static Project fromBytes(const QByteArray& bytes, const QString& path);
    // Opens an .xls workbook and reads its `_VBA_PROJECT_CUR` storage; a
    // workbook without one gives a project that is not present. Throws
    // Error 53 for a missing file.
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
    static Project readFrom(const cfb::Storage& storage);

    QString path_;
    QStringList warnings_;
    bool present_ = false;
    bool protected_ = false;
    int codePage_ = 0;
    QList<Component> components_;
};

}  // namespace tabulon::vba
