#include "xlswriter/XlsbWriter.h"

#include "xlswriter/XlsWriterParts.h"
#include "xlswriter/ZipWriter.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <map>

namespace tabulon::xlsw {

namespace {

namespace brt {
constexpr int RowHdr = 0x00, CellRk = 0x02, CellError = 0x03, CellBool = 0x04, CellReal = 0x05, CellIsst = 0x07;
constexpr int FmlaString = 0x08, FmlaNum = 0x09, FmlaError = 0x0B, SstItem = 0x13, Font = 0x2B, Xf = 0x2F;
constexpr int BeginSheet = 0x81, EndSheet = 0x82, BeginBook = 0x83, EndBook = 0x84;
constexpr int BeginBundleShs = 0x8F, EndBundleShs = 0x90, BeginSheetData = 0x91, EndSheetData = 0x92;
constexpr int WsDim = 0x94, WbProp = 0x99, BundleSh = 0x9C, BeginSst = 0x9F, EndSst = 0xA0;
constexpr int BeginStyleSheet = 0x116, EndStyleSheet = 0x117, BeginExternals = 0x161, EndExternals = 0x162;
constexpr int SupSelf = 0x165, ExternSheet = 0x16A, BeginFonts = 0x263, EndFonts = 0x264;
constexpr int BeginCellXfs = 0x269, EndCellXfs = 0x26A;
}  // namespace brt

const char* const kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

QString relationship(const QString& id, const QString& kind, const QString& target) {
    return QStringLiteral("<Relationship Id=\"%1\" Type=\"%2/%3\" Target=\"%4\"/>").arg(id, QLatin1String(kRel), kind, target);
}

QByteArray relationships(const QString& inner) {
    return (QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">") +
            inner + QStringLiteral("</Relationships>")).toUtf8();
}

// The cell head every cell record starts with: the column and the format (none).
RecordBody cellHead(int col) {
    RecordBody b;
    b.u32(quint32(col)).u32(0);
    return b;
}

// An integer that fits an RK number's 30 bits is stored as one, as the
// spreadsheet itself does.
bool fitsRk(double v) { return v == std::floor(v) && std::fabs(v) < (1 << 29); }

QByteArray cellRecord(const XlsCell& c, std::map<QString, int>& strings, QStringList& order) {
    RecordBody b = cellHead(c.col);
    switch (c.kind) {
    case XlsCell::Number:
        if (fitsRk(c.number)) return record(brt::CellRk, b.u32(quint32(qint32(c.number)) << 2 | 0x02));
        return record(brt::CellReal, b.f64(c.number));
    case XlsCell::Text: {
        const auto [it, added] = strings.emplace(c.text, int(order.size()));
        if (added) order << c.text;
        return record(brt::CellIsst, b.u32(quint32(it->second)));
    }
    case XlsCell::Boolean: return record(brt::CellBool, b.u8(c.boolean ? 1 : 0));
    case XlsCell::Error: return record(brt::CellError, b.u8(c.errorCode));
    case XlsCell::Formula: break;
    }
    int type = brt::FmlaNum;
    if (!c.text.isEmpty()) type = brt::FmlaString, b.wide(c.text);
    else if (c.errorCode >= 0) type = brt::FmlaError, b.u8(c.errorCode);
    else b.f64(c.number);
    return record(type, b.u16(0).formula(c.rgce, c.extra));
}

QByteArray rowHeader(int row) {
    RecordBody b;
    b.u32(quint32(row)).u32(0).u16(300).u8(0).u8(0).u8(0).u32(0);  // format, height, flags, no column spans
    return record(brt::RowHdr, b);
}

QByteArray stylesPart() {
    RecordBody font;
    font.u16(220).u16(0).u16(400).u16(0).u8(0).u8(2).u8(128).u8(0);  // 11 points, regular, Shift-JIS
    font.u8(0x01 << 1).u8(0).u16(0).u32(0);                              // colour: automatic (palette index 0)
    font.u8(2).wide(QStringLiteral("MS PGothic"));                      // the minor theme font
    RecordBody xf;
    xf.u16(0xFFFF).u16(0).u16(0).u16(0).u16(0).u8(0).u8(0).u16(0).u8(0).u8(0);
    return record(brt::BeginStyleSheet) + record(brt::BeginFonts, RecordBody().u32(1)) + record(brt::Font, font) +
           record(brt::EndFonts) + record(brt::BeginCellXfs, RecordBody().u32(1)) + record(brt::Xf, xf) +
           record(brt::EndCellXfs) + record(brt::EndStyleSheet);
}

}  // namespace

RecordBody& RecordBody::f64(double v) {
    detail::putDouble(b_, v);
    return *this;
}

RecordBody& RecordBody::wide(const QString& s) {
    u32(quint32(s.size()));
    b_.append(detail::chars(s, false));
    return *this;
}

RecordBody& RecordBody::formula(const QByteArray& rgce, const QByteArray& extra) {
    return u32(quint32(rgce.size())).bytes(rgce).u32(quint32(extra.size())).bytes(extra);
}

QByteArray record(int type, const QByteArray& body) {
    QByteArray out;
    if (type < 0x80) out.append(char(type));
    else out.append(char((type & 0x7F) | 0x80)).append(char((type >> 7) & 0x7F));
    quint32 size = quint32(body.size());
    do {
        const quint8 low = size & 0x7F;
        size >>= 7;
        out.append(char(size ? low | 0x80 : low));
    } while (size);
    return out + body;
}

XlsbSheet& XlsbSheet::number(int row, int col, double v) {
    detail::addCell(cells, row, col, XlsCell::Number).number = v;
    return *this;
}
XlsbSheet& XlsbSheet::text(int row, int col, const QString& s) {
    detail::addCell(cells, row, col, XlsCell::Text).text = s;
    return *this;
}
XlsbSheet& XlsbSheet::formula(int row, int col, const Rgce& f, double cached, const QByteArray& extra) {
    XlsCell& c = detail::addCell(cells, row, col, XlsCell::Formula);
    c.rgce = f.bytes();
    c.number = cached;
    c.extra = extra;
    return *this;
}

XlsbSheet& XlsbWriter::addSheet(const QString& name, int state) {
    XlsbSheet& s = sheets_.emplace_back();
    s.name = name;
    s.state = state;
    return s;
}

void XlsbWriter::part(const QString& name, const QByteArray& bytes, const QString& type) {
    parts_.push_back({name, type, bytes});
}

QByteArray XlsbWriter::sheetPart(const XlsbSheet& sheet, QStringList& strings) const {
    std::map<QString, int> index;
    for (int i = 0; i < strings.size(); ++i) index.emplace(strings.at(i), i);
    QByteArray out = record(brt::BeginSheet);
    if (!sheet.cells.empty()) {
        int r1 = sheet.cells.front().row, r2 = r1, c1 = sheet.cells.front().col, c2 = c1;
        for (const XlsCell& c : sheet.cells)
            r1 = std::min(r1, c.row), r2 = std::max(r2, c.row), c1 = std::min(c1, c.col), c2 = std::max(c2, c.col);
        out += record(brt::WsDim, RecordBody().u32(quint32(r1)).u32(quint32(r2)).u32(quint32(c1)).u32(quint32(c2)));
    }
    out += sheet.head + record(brt::BeginSheetData);
    int row = -1;
    for (const XlsCell& c : sheet.cells) {
        if (c.row != row) out += rowHeader(row = c.row);
        out += cellRecord(c, index, strings);
    }
    return out + sheet.data + record(brt::EndSheetData) + sheet.tail + record(brt::EndSheet);
}

QByteArray XlsbWriter::workbookPart() const {
    QByteArray out = record(brt::BeginBook);
    out += record(brt::WbProp, RecordBody().u32(0).u32(0).wide(codeName));
    out += record(brt::BeginBundleShs);
    for (size_t i = 0; i < sheets_.size(); ++i)
        out += record(brt::BundleSh, RecordBody()
                                         .u32(quint32(sheets_[i].state))
                                         .u32(quint32(i + 1))
                                         .wide(QStringLiteral("rId%1").arg(i + 1))
                                         .wide(sheets_[i].name));
    out += record(brt::EndBundleShs);
    // This workbook is supporting link 0; a test's links follow it.
    RecordBody xti;
    xti.u32(quint32(sheets_.size() + moreXti.size()));
    for (size_t i = 0; i < sheets_.size(); ++i) xti.u32(0).u32(quint32(i)).u32(quint32(i));
    for (const XlsbXti& x : moreXti) xti.u32(quint32(x.supBook)).u32(quint32(x.firstTab)).u32(quint32(x.lastTab));
    out += record(brt::BeginExternals) + record(brt::SupSelf) + externals + record(brt::ExternSheet, xti) +
           record(brt::EndExternals);
    return out + workbookRecords + record(brt::EndBook);
}

QByteArray XlsbWriter::package() const {
    const QString ms = QStringLiteral("application/vnd.ms-excel.");
    std::vector<Part> parts;
    QString rels;
    QStringList strings;
    for (size_t i = 0; i < sheets_.size(); ++i) {
        const QString file = QStringLiteral("sheet%1.bin").arg(i + 1);
        parts.push_back({QStringLiteral("xl/worksheets/") + file, ms + QStringLiteral("worksheet"), sheetPart(sheets_[i], strings)});
        rels += relationship(QStringLiteral("rId%1").arg(i + 1), QStringLiteral("worksheet"), QStringLiteral("worksheets/") + file);
        if (!sheets_[i].relsXml.isEmpty())
            parts.push_back({QStringLiteral("xl/worksheets/_rels/%1.rels").arg(file), {}, relationships(sheets_[i].relsXml)});
    }
    QByteArray sst = record(brt::BeginSst, RecordBody().u32(quint32(strings.size())).u32(quint32(strings.size())));
    for (const QString& s : strings) sst += record(brt::SstItem, RecordBody().u8(0).wide(s));
    sst += record(brt::EndSst);
    parts.push_back({QStringLiteral("xl/sharedStrings.bin"), ms + QStringLiteral("sharedStrings"), sst});
    parts.push_back({QStringLiteral("xl/styles.bin"), ms + QStringLiteral("styles"), stylesPart()});
    rels += relationship(QStringLiteral("rIdSst"), QStringLiteral("sharedStrings"), QStringLiteral("sharedStrings.bin")) +
            relationship(QStringLiteral("rIdStyles"), QStringLiteral("styles"), QStringLiteral("styles.bin")) + workbookRels;
    parts.push_back({QStringLiteral("xl/workbook.bin"), ms + QStringLiteral("sheet.binary.macroEnabled.main"), workbookPart()});
    parts.push_back({QStringLiteral("xl/_rels/workbook.bin.rels"), {}, relationships(rels)});
    parts.push_back({QStringLiteral("_rels/.rels"), {},
                     relationships(relationship(QStringLiteral("rId1"), QStringLiteral("officeDocument"),
                                                QStringLiteral("xl/workbook.bin")))});
    parts.insert(parts.end(), parts_.begin(), parts_.end());

    QString types = QStringLiteral(
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>");
    for (const Part& p : parts)
        if (!p.type.isEmpty()) types += QStringLiteral("<Override PartName=\"/%1\" ContentType=\"%2\"/>").arg(p.name, p.type);
    types += QStringLiteral("</Types>");

    std::vector<ZipPart> zip{{QStringLiteral("[Content_Types].xml"), types.toUtf8()}};
    for (Part& p : parts) zip.push_back({p.name, std::move(p.bytes)});
    return zipParts(zip);
}

bool XlsbWriter::save(const QString& path) const {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(package()) >= 0;
}

}  // namespace tabulon::xlsw
