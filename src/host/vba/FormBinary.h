#pragma once
// The binary companion of an exported user form (.frx). The form's designer
// storage in the project holds the form's own properties and its controls
// ("f"), the controls' data ("o"), the editor's "\003VBFrame" text and, for
// container controls, child storages. Our .frx carries that storage as a
// compound file of its own: every stream and child storage except the
// VBFrame text, which the .frm already holds. Nothing in this system reads
// it back; it keeps the form's layout next to its code.
#include "host/cfb/CompoundFile.h"

#include <QByteArray>

namespace tabulon::vba {

// Throws Error 1004 when the storage is larger than `maxBytes` in total.
QByteArray formBinary(const cfb::Storage& designer, qint64 maxBytes);

}  // namespace tabulon::vba
