// Cell comments, text boxes and buttons: the OfficeArt drawing of a sheet
// (MS-ODRAW) cut into MSODRAWING records, each shape's OBJ record after the
// piece that ends with its client data, its TXO record after the piece that
// ends with its client text box, and a NOTE record per comment at the end.
#include "xlswriter/XlsWriterParts.h"

#include <QHash>
#include <QMap>

#include <algorithm>

namespace tabulon::xlsw::detail {
namespace {

constexpr quint16 kMsoDrawingGroup = 0x00EB, kMsoDrawing = 0x00EC, kObj = 0x005D, kTxo = 0x01B6,
    kContinue = 0x003C, kNote = 0x001C;
constexpr int kShapesPerDrawing = 1024;  // OfficeArt shape ids of drawing n start at n * 1024

// OfficeArtRecordHeader: version and instance, type, length.
QByteArray art(quint16 type, int version, int instance, const QByteArray& body, int length = -1) {
    QByteArray b;
    put16(b, quint16((version & 0x0F) | (instance << 4)));
    put16(b, type);
    put32(b, quint32(length < 0 ? body.size() : length));
    return b + body;
}

// OfficeArtFOPT properties: (id, value) for simple ones, a UTF-16 name as the
// only complex one.
QByteArray options(const XlsShape& shape, int pib) {
    QMap<int, quint32> simple;
    if (!shape.png.isEmpty()) simple[0x4104] = quint32(pib);  // pib, a BLIP store id
    if (shape.kind == XlsShape::Note) {
        simple[0x0181] = 0x08000050;  // fill: the tooltip background (scheme index)
        simple[0x03BF] = 0x00020002;  // fHidden: a comment shows only on hover
    }
    if (shape.fillRgb >= 0) {         // OfficeArtCOLORREF is red, green, blue
        const quint32 rgb = quint32(shape.fillRgb);
        simple[0x0181] = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
        simple[0x01BF] = 0x00100010;  // fFilled
    }
    if (shape.lineDashing >= 0) simple[0x01CE] = quint32(shape.lineDashing);
    if (!shape.lineVisible) simple[0x01FF] = 0x00080000;  // fUsefLine set, fLine clear
    QByteArray name;
    if (!shape.name.isEmpty()) {
        for (QChar c : shape.name + QChar(0)) put16(name, c.unicode());
    }
    QByteArray table, complex;
    int count = 0;
    for (auto it = simple.cbegin(); it != simple.cend(); ++it, ++count) {
        if (it.key() > 0x0380 && !name.isEmpty() && complex.isEmpty()) {
            put16(table, 0x8380); put32(table, quint32(name.size()));
            complex = name;
            ++count;
        }
        put16(table, quint16(it.key())); put32(table, it.value());
    }
    if (!name.isEmpty() && complex.isEmpty()) {
        put16(table, 0x8380); put32(table, quint32(name.size()));
        complex = name;
        ++count;
    }
    return art(0xF00B, 3, count, table + complex);
}

QByteArray anchor(const XlsShape& shape) {
    const int wide = shape.kind == XlsShape::Note ? 2 : shape.cols, high = shape.kind == XlsShape::Note ? 4 : shape.rows;
    const int col = shape.kind == XlsShape::Note ? shape.col + 1 : shape.col;
    QByteArray b;
    put16(b, shape.kind == XlsShape::Note ? 0x0003 : 0x0000);  // comments neither move nor size with cells
    put16(b, quint16(col)); put16(b, 0); put16(b, quint16(shape.row)); put16(b, 0);
    put16(b, quint16(col + wide)); put16(b, 0); put16(b, quint16(shape.row + high)); put16(b, 0);
    return art(0xF010, 0, 0, b);
}

// OBJ: FtCmo, then a comment's FtNts or a button's FtMacro, then FtEnd.
QByteArray objRecord(const XlsShape& shape, int id, const QHash<QString, int>& macroNames) {
    static const quint16 kinds[] = {0x19, 0x06, 0x07, 0x08, 0x0B};  // note, text box, button, picture, check box
    QByteArray b;
    put16(b, 0x0015); put16(b, 0x0012);
    put16(b, kinds[shape.kind]); put16(b, quint16(id));
    put16(b, 0x6011);                      // locked, printed, automatic fill and line
    b.append(QByteArray(12, '\0'));
    if (shape.kind == XlsShape::Note) {
        put16(b, 0x000D); put16(b, 0x0016);
        QByteArray guid = QByteArray::fromHex("6E5C0B6AA4D34B6E8C1A2F6C3D9E0A10");
        guid[15] = char(id);               // any per-comment id will do
        b += guid;
        put16(b, 0); put32(b, 0);
    } else if (shape.kind == XlsShape::CheckBox) {
        put16(b, 0x000A); put16(b, 0x000C);  // FtCbls: the state, then accelerator and flags
        put16(b, quint16(shape.checked));
        b.append(QByteArray(10, '\0'));
    } else if (macroNames.contains(shape.macro)) {
        // ObjFmla: cce, unused, one PtgName token, padded to an even size.
        QByteArray fmla;
        put16(fmla, 5); put32(fmla, 0);
        fmla.append(char(0x43)); put32(fmla, quint32(macroNames.value(shape.macro)));
        if (fmla.size() % 2) fmla.append(char(0));
        put16(b, 0x0004); put16(b, quint16(fmla.size()));
        b += fmla;
    }
    put32(b, 0);                           // FtEnd
    return record(kObj, b);
}

// TXO with the characters and two formatting runs in CONTINUE records. A
// button's caption is centred both ways, as the spreadsheet writes it.
QByteArray txoRecords(const QString& text, bool centred) {
    QByteArray b;
    put16(b, centred ? 0x0224 : 0x0212);   // centred or left/top aligned, text locked
    put16(b, 0);
    b.append(QByteArray(6, '\0'));
    put16(b, quint16(text.size())); put16(b, text.isEmpty() ? 0 : 16);
    put32(b, 0);
    QByteArray out = record(kTxo, b);
    if (text.isEmpty()) return out;
    const bool compressed = fitsLatin1(text);
    out += record(kContinue, QByteArray(1, char(compressed ? 0 : 1)) + chars(text, compressed));
    QByteArray runs;
    put16(runs, 0); put16(runs, 0); put32(runs, 0);
    put16(runs, quint16(text.size())); put16(runs, 0); put32(runs, 0);
    return out + record(kContinue, runs);
}

QString storedText(const XlsShape& shape) {
    return shape.kind == XlsShape::Note ? shape.author + QStringLiteral(":\n") + shape.text : shape.text;
}


// The pictures' images, each an OfficeArtFBSE with its PNG blip embedded.
QByteArray blipStore(const std::vector<XlsSheet>& sheets) {
    QByteArray entries;
    int count = 0;
    for (const XlsSheet& sheet : sheets)
        for (const XlsShape& shape : sheet.shapes) {
            if (shape.png.isEmpty()) continue;
            const QByteArray blip = art(0xF01E, 0, 0x6E0, QByteArray(16, '\x11') + QByteArray(1, '\xFF') + shape.png);
            QByteArray fbse;
            fbse.append(char(6)).append(char(6));  // PNG for both platforms
            fbse += QByteArray(16, '\x11');
            put16(fbse, 0x00FF);
            put32(fbse, quint32(blip.size())); put32(fbse, 1); put32(fbse, 0);
            fbse += QByteArray(4, '\0');           // unused, no name
            entries += art(0xF007, 2, 6, fbse + blip);
            ++count;
        }
    return count ? art(0xF001, 0x0F, count, entries) : QByteArray();
}

}  // namespace

QByteArray drawingGroup(const std::vector<XlsSheet>& sheets) {
    QByteArray clusters;
    int drawings = 0, shapes = 0, spidMax = 0;
    for (size_t i = 0; i < sheets.size(); ++i) {
        const int n = int(sheets[i].shapes.size());
        if (n == 0) continue;
        const int dgId = int(i) + 1;
        ++drawings;
        shapes += n + 1;
        spidMax = std::max(spidMax, dgId * kShapesPerDrawing + n + 1);
        put32(clusters, quint32(dgId)); put32(clusters, quint32(n + 2));
    }
    if (drawings == 0) return {};
    // One cluster per drawing; cidcl counts them plus one.
    QByteArray fdgg;
    put32(fdgg, quint32(spidMax)); put32(fdgg, quint32(clusters.size() / 8 + 1));
    put32(fdgg, quint32(shapes)); put32(fdgg, quint32(drawings));
    const QByteArray dgg = art(0xF006, 0, 0, fdgg + clusters);
    return record(kMsoDrawingGroup, art(0xF000, 0x0F, 0, dgg + blipStore(sheets)));
}

QByteArray sheetDrawing(const XlsSheet& sheet, int dgId, const QHash<QString, int>& macroNames, int firstPib) {
    if (sheet.shapes.empty()) return {};
    const quint32 firstSpid = quint32(dgId * kShapesPerDrawing);
    // Each shape's container in two pieces: up to its client data, and its
    // client text box (a picture has none).
    std::vector<QByteArray> heads;
    const QByteArray textbox = art(0xF00D, 0, 0, {});
    int shapesLength = 0;
    for (size_t i = 0; i < sheet.shapes.size(); ++i) {
        const XlsShape& shape = sheet.shapes[i];
        QByteArray fsp;
        put32(fsp, firstSpid + quint32(i) + 1);
        put32(fsp, 0x0A00);                // fHaveAnchor | fHaveSpt
        const bool picture = shape.kind == XlsShape::Picture;
        const bool control = shape.kind == XlsShape::Button || shape.kind == XlsShape::CheckBox;
        const int type = picture ? 75 : control ? 201 : 202;  // picture frame, host control, text box
        const int textLength = picture ? 0 : int(textbox.size());
        const QByteArray children = art(0xF00A, 2, type, fsp) + options(shape, firstPib) + anchor(shape) + art(0xF011, 0, 0, {});
        firstPib += shape.png.isEmpty() ? 0 : 1;
        heads.push_back(art(0xF004, 0x0F, 0, children, int(children.size()) + textLength));
        shapesLength += int(heads.back().size()) + textLength;
    }
    QByteArray patriarchFsp;
    put32(patriarchFsp, firstSpid);
    put32(patriarchFsp, 0x0005);           // fGroup | fPatriarch
    const QByteArray patriarch =
        art(0xF004, 0x0F, 0, art(0xF009, 1, 0, QByteArray(16, '\0')) + art(0xF00A, 2, 0, patriarchFsp));
    QByteArray fdg;
    put32(fdg, quint32(sheet.shapes.size() + 1));
    put32(fdg, firstSpid + quint32(sheet.shapes.size()));
    const QByteArray fdgRec = art(0xF008, 0, dgId, fdg);
    const int groupLength = int(patriarch.size()) + shapesLength;
    QByteArray opening = art(0xF003, 0x0F, 0, {}, groupLength) ;
    opening = art(0xF002, 0x0F, 0, fdgRec + opening, int(fdgRec.size()) + 8 + groupLength) + patriarch;

    QByteArray out, notes;
    for (size_t i = 0; i < sheet.shapes.size(); ++i) {
        const XlsShape& shape = sheet.shapes[i];
        const int id = int(i) + 1;
        const bool continued = i > 0 && sheet.drawingInContinuesFrom >= 0 && int(i) >= sheet.drawingInContinuesFrom;
        const int piece = continued ? kContinue : kMsoDrawing;
        out += record(piece, (i == 0 ? opening : QByteArray()) + heads[i]);
        out += objRecord(shape, id, macroNames);
        if (shape.kind == XlsShape::Picture) continue;
        out += record(piece, textbox);
        out += txoRecords(storedText(shape), shape.kind == XlsShape::Button);
        if (shape.kind == XlsShape::Note) {
            QByteArray b;
            put16(b, quint16(shape.row)); put16(b, quint16(shape.col));
            put16(b, shape.shown ? 0x0002 : 0); put16(b, quint16(id));  // fShow
            b += xlString(shape.author);
            b.append(char(0));
            notes += record(kNote, b);
        }
    }
    return out + notes;
}

}  // namespace tabulon::xlsw::detail
