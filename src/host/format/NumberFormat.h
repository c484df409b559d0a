#pragma once
// Cell display texts: a cell's value shown through its number format, as the
// spreadsheet shows it in a cell wide enough to hold it (no "####" width rule
// here; the sheet renderer applies that). Pure functions: no workbook, no
// locale of the machine; the display locale is Japanese.
#include <QList>
#include <QString>
#include <optional>

namespace tabulon::host::format {

// The result of formatting one value.
struct Display {
    QString text;
    std::optional<unsigned> color;  // 0xRRGGBB from a [Red]/[Color n] section, if any
    // The palette colour behind color (1..56, "[Red]" is 3, "[Color n]" n),
    // for workbooks whose own palette replaces the default one; 0: none.
    int colorIndex = 0;
    // "*x" fill: the character repeated to fill the cell, inserted at fillAt
    // (an index into text); fillAt < 0 when the format has no fill. A value
    // a date format cannot show (negative, past 9999/12/31) comes back as
    // "#" filled with '#', the cell full of hashes the spreadsheet shows.
    QChar fill;
    int fillAt = -1;
    // "_x" spacing: positions in text that stand for the width of a
    // character instead of the character itself (the renderer measures them).
    // The text holds a plain space at each such position.
    struct Spacing {
        int at = 0;   // index into text
        QChar width;  // the character whose width the blank takes
    };
    QList<Spacing> spacing;
    bool rightAligned = false;      // numbers, dates: right by default
};

// The format code of a built-in number format id (0..163) in the Japanese
// locale; empty for ids the spreadsheet does not define.
QString builtinFormatCode(int id);

// A number through a format code. date1904: the workbook counts dates from 1904.
// Safe to call from several threads; each keeps its own cache of read codes.
Display formatNumber(double value, const QString& formatCode, bool date1904 = false);
// A text value through a format code (its text section, "@").
Display formatText(const QString& text, const QString& formatCode);
// TRUE/FALSE and error values show as themselves, centred by default.
Display formatBool(bool value);

}  // namespace tabulon::host::format
