#pragma once
// The decompressed `dir` stream of a VBA project (MS-OVBA 2.3.4.2): the
// project's code page and, per module, its names, stream name, the offset of
// its compressed source and its type record.
#include <QByteArray>
#include <QList>
#include <QString>

namespace tabulon::vba {

struct DirModule {
    QByteArray name;           // MODULENAME, in the project code page
    QString nameUnicode;       // MODULENAMEUNICODE, empty when absent
    QByteArray streamName;     // MODULESTREAMNAME, in the project code page
    QString streamNameUnicode; // its UTF-16 form, empty when absent
    quint32 sourceOffset = 0;  // MODULEOFFSET: where the compressed source starts
    bool procedural = true;    // MODULETYPE 0x0021; 0x0022 is class, form or document
};

struct DirInfo {
    int codePage = 1252;
    QList<DirModule> modules;  // in dir order, the project's collection order
};

// Parses the decompressed dir stream. Throws Error 1004 when a record runs
// past the end of the stream or a module lacks its name or offset.
DirInfo parseDir(const QByteArray& dir);

}  // namespace tabulon::vba
