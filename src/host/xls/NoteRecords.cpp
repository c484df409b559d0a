// Cell comments. The NOTE record anchors a comment to a cell and names the
// drawing object that holds it; the text itself is in the TXO record after
// that object's OBJ record, in CONTINUE records of its own.
#include "host/xls/SheetState.h"

namespace tabulon::xls {

// NoteSh, MS-XLS 2.4.179 (within Note)
void parseNote(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    NoteAnchor a;
    a.row = c.u16();
    a.col = c.u16();
    c.skip(2);  // flags
    a.objId = c.u16();
    st.noteAnchors.push_back(a);
}

// Obj, MS-XLS 2.4.181: the first sub-record is FtCmo (2.5.143)
void parseObj(const Record& rec, SheetState& st) {
    ByteCursor c = rec.cursor();
    st.lastCommentObj = -1;
    if (c.u16() != 0x0015) return;
    c.skip(2);  // cb
    const int objectType = c.u16();
    const int id = c.u16();
    if (objectType == 0x19) st.lastCommentObj = id;  // comment
}

// TxO, MS-XLS 2.4.329: text in the first CONTINUE, formatting runs after it
void parseTxo(const Record& rec, SheetState& st) {
    const int id = st.lastCommentObj;
    st.lastCommentObj = -1;
    if (id < 0) return;
    ByteCursor c = rec.cursor();
    c.skip(10);
    const size_t cch = c.u16();
    if (cch == 0 || rec.segmentStarts.empty()) {
        st.objTexts[id] = QString();
        return;
    }
    c.seek(rec.segmentStarts.front());
    // The segment start makes the reader take the width flag first.
    st.objTexts[id] = readContinuedChars(rec, c, cch, false);
}

void attachNotes(SheetState& st) {
    for (const NoteAnchor& a : st.noteAnchors) {
        auto it = st.objTexts.find(a.objId);
        if (it == st.objTexts.end()) continue;
        st.sheet.notes[{a.row, a.col}] = it->second;
    }
}

}  // namespace tabulon::xls
