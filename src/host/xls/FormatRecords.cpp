// The workbook's cell formats: fonts, number formats and XF records, read
// from the globals substream when a sheet is to be printed.
#include "host/format/NumberFormat.h"
#include "host/xls/DrawingReader.h"
#include "host/xls/SheetLayout.h"

namespace tabulon::xls {

namespace {

constexpr uint16_t kFont = 0x0031, kFormat = 0x041E, kXf = 0x00E0, kDateMode = 0x0022;

}  // namespace

const FontDef& BookFormats::font(int ifnt) const {
    static const FontDef standard;
    // ifnt 4 does not exist in the file: the fifth FONT record is ifnt 5.
    const int i = ifnt >= 4 ? ifnt - 1 : ifnt;
    return i >= 0 && size_t(i) < fonts.size() ? fonts[size_t(i)] : fonts.empty() ? standard : fonts.front();
}

const XfDef& BookFormats::xf(int ixfe) const {
    static const XfDef standard;
    if (ixfe >= 0 && size_t(ixfe) < xfs.size()) return xfs[size_t(ixfe)];
    return xfs.size() > 15 ? xfs[15] : standard;
}

QString BookFormats::formatCode(int ifmt) const {
    const auto it = formatCodes.find(ifmt);
    if (it != formatCodes.end()) return it->second;
    const QString builtin = host::format::builtinFormatCode(ifmt);
    return builtin.isEmpty() ? QStringLiteral("General") : builtin;
}

unsigned icvRgb(int icv, const WorkbookModel& book) {
    // colorRgb answers R + G*256 + B*65536, as the object model does.
    const int bgr = colorRgb(0x08000000u | uint32_t(icv & 0xFFFF), book);
    return unsigned(((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF));
}

// Font, MS-XLS 2.4.122: the fields before the name, which Excel 5.0/95
// writes the same way.
FontDef readFontFields(ByteCursor& c) {
    FontDef font;
    font.points = c.u16() / 20.0;
    const uint16_t flags = c.u16();
    font.italic = flags & 0x0002;
    font.strike = flags & 0x0008;
    font.color = c.u16();
    font.bold = c.u16() >= 600;
    c.skip(2);  // sss: super/subscript
    font.underline = c.u8();
    c.skip(3);  // family, charset, reserved
    if (font.points < 1) font.points = 10;
    return font;
}

void parseFont(const Record& rec, BookFormats& f) {
    ByteCursor c = rec.cursor();
    FontDef font = readFontFields(c);
    font.name = readUnicodeString8(rec, c);
    f.fonts.push_back(std::move(font));
}

// Format, MS-XLS 2.4.126
void parseFormat(const Record& rec, BookFormats& f) {
    ByteCursor c = rec.cursor();
    const int ifmt = c.u16();
    f.formatCodes[ifmt] = readUnicodeString16(rec, c);
}

// XF, MS-XLS 2.4.353; the cell and style forms share this layout in BIFF8.
void parseXf(const Record& rec, BookFormats& f) {
    ByteCursor c = rec.cursor();
    XfDef x;
    x.font = c.u16();
    x.format = c.u16();
    c.skip(2);  // protection, style flag, parent
    const uint8_t align = c.u8();
    x.hAlign = align & 0x07;
    x.wrap = align & 0x08;
    x.vAlign = (align >> 4) & 0x07;
    x.rotation = c.u8();
    const uint8_t indent = c.u8();
    x.indent = indent & 0x0F;
    x.shrink = indent & 0x10;
    c.skip(1);  // which attributes differ from the parent
    const uint32_t b1 = c.u32();
    const uint32_t b2 = c.u32();
    const uint16_t b3 = c.u16();
    x.left = {int(b1 & 0x0F), int((b1 >> 16) & 0x7F)};
    x.right = {int((b1 >> 4) & 0x0F), int((b1 >> 23) & 0x7F)};
    x.top = {int((b1 >> 8) & 0x0F), int(b2 & 0x7F)};
    x.bottom = {int((b1 >> 12) & 0x0F), int((b2 >> 7) & 0x7F)};
    x.diagonalDown = b1 & 0x40000000u;
    x.diagonalUp = b1 & 0x80000000u;
    x.diagonal = {int((b2 >> 21) & 0x0F), int((b2 >> 14) & 0x7F)};
    x.pattern = int((b2 >> 26) & 0x3F);
    x.patternColor = b3 & 0x7F;
    x.backColor = (b3 >> 7) & 0x7F;
    f.xfs.push_back(x);
}

BookFormats readBookFormats(const QByteArray& stream) {
    BookFormats f;
    RecordStream rs(stream);
    Record rec;
    if (!rs.next(rec) || rec.type != rt::Bof) return f;
    const bool biff5 = rec.size() >= 2 && rec.bytes()[0] == 0x00 && rec.bytes()[1] == 0x05;  // BOF version 0x0500
    int codePage = 1252;
    QByteArray drawingGroup;  // MsoDrawingGroup records, one OfficeArt stream when joined
    while (rs.next(rec) && rec.type != rt::Eof) {
        if (rec.type == 0x00EB) drawingGroup.append(reinterpret_cast<const char*>(rec.bytes()), qsizetype(rec.size()));
        try {
            if (biff5) {
                switch (rec.type) {
                case rt::CodePage: { ByteCursor c = rec.cursor(); codePage = c.u16(); continue; }
                case kFont: parseFont5(rec, f, codePage); continue;
                case kFormat: parseFormat5(rec, f, codePage); continue;
                case kXf: parseXf5(rec, f); continue;
                default: break;
                }
            }
            switch (rec.type) {
            case kFont: parseFont(rec, f); break;
            case kFormat: parseFormat(rec, f); break;
            case kXf: parseXf(rec, f); break;
            case kDateMode: { ByteCursor c = rec.cursor(); f.date1904 = c.u16() != 0; break; }  // 2.4.77
            default: break;
            }
        } catch (const FormatError&) {
            // A damaged record keeps its place, so later indices stay right;
            // its cells print in the default look.
            if (rec.type == kFont) f.fonts.emplace_back();
            if (rec.type == kXf) f.xfs.emplace_back();
        }
    }
    f.blips = parseBlipStore(drawingGroup);
    return f;
}

}  // namespace tabulon::xls
