// The styles part of a binary workbook (MS-XLSB 2.1.7.50): BrtFmt, BrtFont,
// BrtFill, BrtBorder and the BrtXF records of the cell formats, combined as
// the XML styles part's cellXfs combine theirs.
#include "host/ooxml/binary/BinaryParts.h"

#include "common/Error.h"
#include "host/ooxml/binary/Records.h"
#include "host/ooxml/book/Colors.h"
#include "host/ooxml/book/Styles.h"
#include "host/ooxml/package/Package.h"

namespace tabulon::ooxml {

namespace {

constexpr uint64_t kMaxStylesBytes = 256u << 20;

namespace brt {
constexpr uint32_t Font = 0x2B, Fmt = 0x2C, Fill = 0x2D, Border = 0x2E, Xf = 0x2F;
constexpr uint32_t IndexedColor = 0x1DB, BeginCellXfs = 0x269, EndCellXfs = 0x26A;
}  // namespace brt

model::Font readFont(xls::ByteCursor& c, const ColorResolver& colors) {
    model::Font f;
    const double points = c.u16() / 20.0;
    if (points >= 1 && points <= 409) f.points = points;
    const uint16_t flags = c.u16();
    f.italic = flags & 0x02;
    f.strike = flags & 0x08;
    f.bold = c.u16() >= 700;
    c.skip(2);  // super- and subscript
    f.underline = c.u8();
    c.skip(3);  // family, character set, unused
    f.color = readColor(c, colors);
    const uint8_t scheme = c.u8();
    f.name = wideString(c);
    // A theme font: the theme's face replaces the stored name.
    const QString face = scheme == 1 ? colors.theme.majorFont : scheme == 2 ? colors.theme.minorFont : QString();
    if (!face.isEmpty()) f.name = face;
    return f;
}

model::BorderLine readSide(xls::ByteCursor& c, const ColorResolver& colors) {
    model::BorderLine side;
    side.style = c.u8();
    if (side.style > 13) side.style = 1;
    c.skip(1);
    side.color = readColor(c, colors);
    return side;
}

StyleXf readXf(xls::ByteCursor& c) {
    StyleXf x;
    c.skip(2);  // the parent style
    x.numFmt = c.u16();
    x.font = c.u16();
    x.fill = c.u16();
    x.border = c.u16();
    x.rotation = c.u8();
    x.indent = c.u8();
    const uint16_t flags = c.u16();
    x.hAlign = flags & 0x07;
    x.vAlign = (flags >> 3) & 0x07;
    if (x.vAlign > 4) x.vAlign = 2;
    x.wrap = flags & 0x40;
    x.shrink = flags & 0x100;
    return x;
}

// Colours may name the workbook's own palette, which comes late in the
// part: a first pass (paletteOnly) takes only the palette.
void readRecords(const QByteArray& bytes, const QString& part, ColorResolver& colors, StyleTables& out, bool paletteOnly) {
    RecordReader records(bytes, part);
    BinaryRecord r;
    bool inCellXfs = false;
    int palette = 0;
    while (records.next(r)) {
        xls::ByteCursor c = r.cursor();
        if (paletteOnly != (r.type == brt::IndexedColor)) continue;
        try {
            switch (r.type) {
            case brt::Fmt: {
                const int id = c.u16();
                out.numFmts[id] = wideString(c);
                break;
            }
            case brt::Font: out.fonts.push_back(readFont(c, colors)); break;
            case brt::Fill: {
                StyleFill f;
                f.pattern = int(c.u32());
                if (f.pattern > 18) f.pattern = 1;  // a gradient: shown by its first colour
                f.fore = readColor(c, colors);
                f.back = readColor(c, colors);
                out.fills.push_back(f);
                break;
            }
            case brt::Border: {
                StyleBorder b;
                const uint8_t flags = c.u8();
                b.down = flags & 0x01;
                b.up = flags & 0x02;
                b.top = readSide(c, colors);
                b.bottom = readSide(c, colors);
                b.left = readSide(c, colors);
                b.right = readSide(c, colors);
                b.diagonal = readSide(c, colors);
                out.borders.push_back(b);
                break;
            }
            case brt::BeginCellXfs: inCellXfs = true; break;
            case brt::EndCellXfs: inCellXfs = false; break;
            case brt::Xf:
                if (inCellXfs) out.xfs.push_back(readXf(c));
                break;
            case brt::IndexedColor:  // the workbook's own palette, in order
                if (palette < 64) {
                    const uint32_t red = c.u8(), green = c.u8(), blue = c.u8();
                    colors.palette[size_t(palette++)] = red << 16 | green << 8 | blue;
                }
                break;
            default: break;  // conditional formats, table styles, ...: not shown
            }
        } catch (const xls::FormatError& e) {
            throw Error(err::Refused, QStringLiteral("%1: record 0x%2 at offset %3 unreadable: %4")
                                          .arg(part).arg(r.type, 4, 16, QLatin1Char('0')).arg(r.offset).arg(e.reason()));
        }
    }
}

}  // namespace

model::Formats readBinaryStyles(const Package& package, const QString& workbookPart, ColorResolver& colors) {
    StyleTables tables;
    const Relationship* rel = package.relationship(workbookPart, u"styles");
    if (rel && !rel->part.isEmpty() && package.hasPart(rel->part)) {
        try {
            const QByteArray bytes = package.read(rel->part, kMaxStylesBytes);
            readRecords(bytes, rel->part, colors, tables, true);
            readRecords(bytes, rel->part, colors, tables, false);
        } catch (const Error& e) {
            package.warn(e.description());
        }
    }
    return formatsOf(tables);
}

}  // namespace tabulon::ooxml
