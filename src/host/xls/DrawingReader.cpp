// A sheet's OfficeArt drawing (MS-ODRAW 2.2.13 OfficeArtDgContainer) walked
// record by record. BIFF8 cuts the drawing into MSODRAWING pieces so that the
// OBJ record of a shape can follow the piece that ends with its client data
// (OfficeArtClientData) and the TXO record the piece that ends with its client
// text box; joined again, the pieces are one OfficeArt stream, and the n-th
// client data record belongs to the n-th OBJ record.
//
// The shape collection is the list of children of the drawing's top group
// (OfficeArtSpgrContainer) in their stored order, which is the stacking
// order, without the group's own first shape (the patriarch). A nested group
// is one member; its own first shape carries the group's name, OBJ and the
// anchor on the sheet (its children are anchored inside the group).
#include "host/xls/DrawingReader.h"
#include "host/xls/Colors.h"
#include "host/xls/Readers.h"

#include <algorithm>
#include <map>
#include <optional>

namespace tabulon::xls {

namespace {

namespace art {
constexpr uint16_t DgContainer = 0xF002, SpgrContainer = 0xF003, SpContainer = 0xF004, Fsp = 0xF00A,
    Fopt = 0xF00B, ClientTextbox = 0xF00D, ClientAnchor = 0xF010, ClientData = 0xF011, TertiaryFopt = 0xF122;
}

// OfficeArtFOPT property ids, MS-ODRAW 2.3.
constexpr int kPib = 0x0104, kFillColor = 0x0181, kLineDashing = 0x01CE, kLineEndCap = 0x01D7,
    kLineFlags = 0x01FF, kShapeName = 0x0380;
// Line Style Boolean Properties (MS-ODRAW 2.3.8.43): fLine counts only when
// fUsefLine says it was set; a line is drawn by default.
constexpr uint32_t kLineOn = 0x00000008, kUseLineOn = 0x00080000;
constexpr uint32_t kFspPatriarch = 0x0004, kFspOleShape = 0x0010;
constexpr int kMaxDepth = 32;

struct Entry {
    int shapes = 0;              // FSP records seen; only the first one's data counts
    uint32_t fspFlags = 0;
    int shapeType = 0;           // MSOSPT, the FSP record's instance
    std::map<int, uint32_t> props;
    QString storedName;
    long long obj = -1;          // index into the OBJ records
    long long txo = -1;          // index into the TXO records
    std::optional<model::Anchor> anchor;
};

// OfficeArtClientAnchorSheet, MS-XLS 2.5.193: flags, then the corner cells
// with offsets in 1/1024 of the column's width and 1/256 of the row's height.
model::Anchor readAnchor(ByteCursor& c) {
    c.skip(2);
    model::Anchor a;
    a.col1 = c.u16();
    a.dx1 = c.u16() / 1024.0;
    a.row1 = c.u16();
    a.dy1 = c.u16() / 256.0;
    a.col2 = c.u16();
    a.dx2 = c.u16() / 1024.0;
    a.row2 = c.u16();
    a.dy2 = c.u16() / 256.0;
    return a;
}

class Walker {
public:
    explicit Walker(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    std::vector<Entry> entries;
    size_t objsUsed = 0, txosUsed = 0;

    void walk(size_t begin, size_t end, int depth, bool inTopGroup) {
        if (depth > kMaxDepth) throw FormatError(QStringLiteral("drawing nested too deeply"), begin);
        ByteCursor c(bytes_.data(), end, 0);
        c.seek(begin);
        while (c.remaining() >= 8) {
            const uint16_t verInstance = c.u16();
            const uint16_t type = c.u16();
            const size_t len = c.u32();
            const size_t start = c.pos();
            const bool container = (verInstance & 0x000F) == 0x000F;
            if (!container && len > c.remaining())
                throw FormatError(QStringLiteral("drawing record 0x%1 truncated").arg(type, 4, 16, QLatin1Char('0')), start);
            const size_t stop = start + std::min(len, c.remaining());
            const bool member = inTopGroup && (type == art::SpContainer || type == art::SpgrContainer);
            if (member) {
                entries.emplace_back();
                inEntry_ = true;
            }
            if (container) {
                const bool opensTop = type == art::SpgrContainer && !topSeen_;
                if (opensTop) topSeen_ = true;
                walk(start, stop, depth + 1, opensTop);
            } else {
                atom(type, verInstance >> 4, c, len);
            }
            if (member) inEntry_ = false;  // what follows the member is none of its data
            c.seek(stop);
        }
    }

private:
    Entry* current() { return inEntry_ ? &entries.back() : nullptr; }

    void atom(uint16_t type, int instance, ByteCursor& c, size_t len) {
        Entry* e = current();
        switch (type) {
        case art::Fsp:  // OfficeArtFSP, MS-ODRAW 2.2.40
            if (e && ++e->shapes == 1 && len >= 8) {
                e->shapeType = instance;
                c.skip(4);  // spid
                e->fspFlags = c.u32();
            }
            break;
        case art::Fopt:
        case art::TertiaryFopt:
            if (e && e->shapes == 1) readOptions(c, instance, len, *e);
            break;
        case art::ClientData:
            if (e && e->shapes <= 1 && e->obj < 0) e->obj = (long long)objsUsed;
            ++objsUsed;
            break;
        case art::ClientAnchor:
            if (e && e->shapes <= 1 && !e->anchor && len >= 18) e->anchor = readAnchor(c);
            break;
        case art::ClientTextbox:
            if (e && e->shapes <= 1 && e->txo < 0) e->txo = (long long)txosUsed;
            ++txosUsed;
            break;
        default:
            break;
        }
    }

    // OfficeArtFOPT, MS-ODRAW 2.2.9: recInstance property entries of six bytes,
    // then the complex data of the complex ones in the same order.
    static void readOptions(ByteCursor& c, int count, size_t len, Entry& e) {
        const size_t start = c.pos();
        const size_t end = start + len;
        count = int(std::min(size_t(count), len / 6));
        size_t complexAt = start + size_t(count) * 6;
        for (int i = 0; i < count; ++i) {
            const uint16_t opid = c.u16();
            const uint32_t op = c.u32();
            const int pid = opid & 0x3FFF;
            if (!(opid & 0x8000)) {
                e.props[pid] = op;
                continue;
            }
            if (op > end - std::min(end, complexAt)) break;  // complex data beyond the record
            if (pid == kShapeName) {
                ByteCursor s(c.data(), complexAt + op, 0);
                s.seek(complexAt);
                QString name = s.chars(op / 2, true);
                const qsizetype nul = name.indexOf(QChar(0));
                e.storedName = nul >= 0 ? name.left(nul) : name;
            }
            complexAt += op;
        }
    }

    const std::vector<uint8_t>& bytes_;
    bool topSeen_ = false;
    bool inEntry_ = false;
};

model::Shape shapeFrom(const Entry& e, const DrawingRecords& recs, const Globals& book) {
    model::Shape shape;
    const ObjInfo& info = recs.objs_[size_t(e.obj)].info;
    shape.kind = shapeKindOf(info.kind);
    shape.objectId = info.id;
    shape.onAction = info.macro;
    shape.name = e.storedName.isEmpty() ? model::defaultShapeName(shape.kind, info.id, e.fspFlags & kFspOleShape)
                                        : e.storedName;
    auto fill = e.props.find(kFillColor);
    if (fill != e.props.end()) shape.fillColor = artColor(fill->second, book.palette);
    else if (shape.isComment()) shape.fillColor = artColor(0x08000050, book.palette);  // the tooltip colour
    // A comment shows only while its cell is pointed at, unless its NOTE keeps it in view.
    shape.visible = !shape.isComment();
    shape.anchor = e.anchor;
    const auto pib = e.props.find(kPib);
    if (pib != e.props.end() && pib->second > 0) shape.picture = int(std::min<uint32_t>(pib->second, 0xFFFF)) - 1;
    auto dash = e.props.find(kLineDashing);
    auto cap = e.props.find(kLineEndCap);
    shape.dashStyle = dashStyleFor(dash == e.props.end() ? 0 : dash->second, cap == e.props.end() ? 2 : cap->second);
    auto lineFlags = e.props.find(kLineFlags);
    if (lineFlags != e.props.end() && (lineFlags->second & kUseLineOn))
        shape.lineVisible = (lineFlags->second & kLineOn) != 0;
    shape.hasText = model::kindHasText(shape.kind) || e.txo >= 0;
    shape.geometry = geometryOf(e.shapeType);
    shape.checked = info.checked;
    applyShapeLook(e.props, e.fspFlags, shape, book.palette);
    if (e.txo >= 0 && size_t(e.txo) < recs.txos_.size()) {
        const TxoEntry& txo = recs.txos_[size_t(e.txo)];
        shape.text = txo.text;
        shape.textHAlign = txo.look.hAlign;
        shape.textVAlign = txo.look.vAlign;
        shape.textRuns = txo.look.runs;
    }
    return shape;
}

}  // namespace

void readDrawing(const DrawingRecords& records, model::Sheet& sheet, const Globals& book, WarningLog& log) {
    if (records.empty()) return;
    Walker w(records.drawing_);
    try {
        w.walk(0, records.drawing_.size(), 0, false);
    } catch (const FormatError& e) {
        warn(log, QStringLiteral("sheet '%1': drawing").arg(sheet.name), e);
    }
    for (const Entry& e : w.entries) {
        // The patriarch is the top group itself; a shape without an OBJ record
        // is no object of the sheet.
        if (e.fspFlags & kFspPatriarch) continue;
        if (e.obj < 0 || size_t(e.obj) >= records.objs_.size()) continue;
        const ObjInfo& info = records.objs_[size_t(e.obj)].info;
        if (!info.problem.isEmpty())
            log.add(QStringLiteral("sheet '%1': object %2: %3").arg(sheet.name).arg(info.id).arg(info.problem));
        sheet.shapes.push_back(shapeFrom(e, records, book));
    }
}

}  // namespace tabulon::xls
