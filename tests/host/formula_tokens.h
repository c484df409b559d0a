#pragma once
// Builds BIFF8 token streams byte by byte for the formula decoder tests, and a
// workbook context with a few sheets and names.
#include "common/Error.h"
#include "host/xls/FormulaDecoder.h"

#include <QMap>
#include <QString>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tabulon::test {

struct Tokens {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> extra;

    Tokens& u8(int v) { bytes.push_back(static_cast<uint8_t>(v)); return *this; }
    Tokens& u16(int v) { u8(v & 0xFF); return u8((v >> 8) & 0xFF); }
    Tokens& u32(uint32_t v) { u16(static_cast<int>(v & 0xFFFF)); return u16(static_cast<int>(v >> 16)); }
    Tokens& op(int ptg) { return u8(ptg); }
    Tokens& integer(int v) { return u8(0x1E).u16(v); }
    static void put(std::vector<uint8_t>& to, double v) {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        for (int i = 0; i < 8; ++i)
            to.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    }
    Tokens& number(double v) {
        u8(0x1F);
        put(bytes, v);
        return *this;
    }
    Tokens& str(const QString& s, bool wide = false) {
        u8(0x17).u8(static_cast<int>(s.size())).u8(wide ? 1 : 0);
        for (QChar c : s) {
            u8(c.unicode() & 0xFF);
            if (wide)
                u8(c.unicode() >> 8);
        }
        return *this;
    }
    Tokens& boolean(bool b) { return u8(0x1D).u8(b ? 1 : 0); }
    Tokens& error(int code) { return u8(0x1C).u8(code); }
    Tokens& missing() { return u8(0x16); }
    static int colField(int col, bool rowRel, bool colRel) {
        return (col & 0x3FFF) | (colRel ? 0x4000 : 0) | (rowRel ? 0x8000 : 0);
    }
    // Relative flags default to "relative" as typed A1 references are.
    Tokens& ref(int row, int col, bool rowRel = true, bool colRel = true, int ptg = 0x44) {
        return u8(ptg).u16(row).u16(colField(col, rowRel, colRel));
    }
    Tokens& area(int r1, int c1, int r2, int c2, bool rel = true, int ptg = 0x25) {
        u8(ptg).u16(r1).u16(r2);
        return u16(colField(c1, rel, rel)).u16(colField(c2, rel, rel));
    }
    Tokens& ref3d(int ixti, int row, int col, bool rel = false) {
        return u8(0x3A).u16(ixti).u16(row).u16(colField(col, rel, rel));
    }
    Tokens& area3d(int ixti, int r1, int c1, int r2, int c2) {
        u8(0x3B).u16(ixti).u16(r1).u16(r2);
        return u16(colField(c1, false, false)).u16(colField(c2, false, false));
    }
    Tokens& name(uint32_t index) { return u8(0x43).u32(index); }
    Tokens& nameX(int ixti, uint32_t index) { return u8(0x39).u16(ixti).u32(index); }
    Tokens& func(int index) { return u8(0x41).u16(index); }
    Tokens& funcVar(int args, int index) { return u8(0x42).u8(args).u16(index); }
    Tokens& attr(int kind, int data = 0) { return u8(0x19).u8(kind).u16(data); }
    Tokens& space(int type, int count) { return u8(0x19).u8(0x40).u8(type).u8(count); }
    // PtgArray; the values go to RgbExtra through the extra* helpers.
    Tokens& array(int rows, int cols) {
        bytes.insert(bytes.end(), {0x60, 0, 0, 0, 0, 0, 0, 0});
        extra.insert(extra.end(), {static_cast<uint8_t>(cols - 1), static_cast<uint8_t>(rows - 1),
                                   static_cast<uint8_t>((rows - 1) >> 8)});
        return *this;
    }
    Tokens& extraNumber(double v) {
        extra.push_back(0x01);
        put(extra, v);
        return *this;
    }
    Tokens& extraString(const QString& s) {
        extra.insert(extra.end(), {0x02, static_cast<uint8_t>(s.size()), 0, 0});
        for (QChar c : s)
            extra.push_back(static_cast<uint8_t>(c.unicode()));
        return *this;
    }
    Tokens& extraTagged(int type, int value) {
        extra.insert(extra.end(), {static_cast<uint8_t>(type), static_cast<uint8_t>(value), 0, 0, 0, 0, 0, 0, 0});
        return *this;
    }
};

class FakeBook : public xls::FormulaContext {
public:
    QMap<int, QString> sheets{{0, QStringLiteral("Sheet1")}, {1, QStringLiteral("'My Sheet'")},
                              {2, QStringLiteral("'C:\\data\\[Prices.xls]Sheet1'")}, {3, QString()}};
    QString externSheetPrefix(int ixti) const override { return sheets.value(ixti); }
    QString definedName(int index) const override { return QStringLiteral("Name%1").arg(index); }
    QString externName(int ixti, int index) const override {
        return ixti == 9 ? QStringLiteral("MyAddIn") : QStringLiteral("Book.xls!X%1_%2").arg(ixti).arg(index);
    }
};

inline QString decode(const Tokens& t, xls::FormulaKind kind = xls::FormulaKind::Cell, int row = 0,
                      int col = 0) {
    FakeBook book;
    xls::FormulaInput in;
    in.rgce = t.bytes.data();
    in.cce = t.bytes.size();
    in.extra = t.extra.empty() ? nullptr : t.extra.data();
    in.extraSize = t.extra.size();
    in.row = row;
    in.col = col;
    in.kind = kind;
    return xls::decodeFormula(in, book);
}

}  // namespace tabulon::test
