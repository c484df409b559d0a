// Cell comments. The NOTE record anchors a comment to a cell, names its
// author and the drawing object that holds it, and says whether it stays in
// view; the text itself is in the TXO record after that object's OBJ record
// (which the drawing layer reads).
#include "host/xls/DrawingReader.h"
#include "host/xls/SheetState.h"

#include <set>

namespace tabulon::xls {

// NoteSh, MS-XLS 2.4.179 (within Note): row, column, flags (fShow), the
// object's id, the author.
void parseNote(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    NoteAnchor a;
    a.row = c.u16();
    a.col = c.u16();
    a.shown = c.u16() & 0x0002;
    a.objId = c.u16();
    st.noteAnchors.push_back(a);
    // The author is the last field; a note without one still counts.
    try {
        st.noteAnchors.back().author = readUnicodeString16(rec, c);
    } catch (const FormatError&) {
    }
}

void attachNotes(SheetState& st, const DrawingRecords& drawing) {
    const std::map<int, QString>& texts = drawing.commentTexts();
    for (const NoteAnchor& a : st.noteAnchors) {
        auto it = texts.find(a.objId);
        if (it == texts.end()) continue;
        st.sheet.notes[{a.row, a.col}] = model::Note{it->second, a.author};
    }
    std::set<int> shown;
    for (const NoteAnchor& a : st.noteAnchors)
        if (a.shown) shown.insert(a.objId);
    for (model::Shape& shape : st.sheet.shapes)
        if (shape.isComment() && shown.count(shape.objectId)) shape.visible = true;
}

}  // namespace tabulon::xls
