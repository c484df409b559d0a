#pragma once
// A number-format code read into sections of tokens. A code has up to four
// sections separated by ";" (positive; negative; zero; text), each optionally
// with a condition ("[>100]"), a colour ("[Red]", "[Color 10]"), a locale or
// currency prefix ("[$-411]", "[$¥-411]") and a digit form ("[DBNum1]").
#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace tabulon::host::format {

enum class Tok {
    Literal,      // text shown as it stands
    Spacing,      // "_x": a blank as wide as ch
    Fill,         // "*x": ch repeated to fill the cell
    Digit,        // placeholder ch: '0', '#' or '?'
    Point,        // decimal point
    Comma,        // thousands separator or, after the last digit, scaling
    Percent,
    Exponent,     // "E+" / "E-": text holds the sign
    Slash,        // fraction bar
    Denominator,  // fixed fraction denominator ("?/16"): count holds it
    Text,         // "@"
    General,
    Year, Month, Day, Hour, Minute, Second,  // count: letters written
    AmPm,         // text holds the written form ("AM/PM", "a/p", ...)
    SubSecond,    // ".0"/".00"/".000" after seconds: count = digits
    ElapsedHour, ElapsedMinute, ElapsedSecond,  // "[h]", "[mm]", "[ss]"
    EraName,      // g gg ggg
    EraYear,      // e ee
    JpWeekday,    // aaa aaaa
};

struct Token {
    Token(Tok k, QString t = {}, int n = 0, QChar c = {}) : kind(k), text(std::move(t)), count(n), ch(c) {}
    Tok kind;
    QString text;
    int count = 0;
    QChar ch;
};

enum class Compare { None, Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual };

enum class SectionKind { Number, Date, General, Text };

struct Section {
    QList<Token> tokens;
    SectionKind kind = SectionKind::Number;
    Compare compare = Compare::None;
    double operand = 0;
    int colorIndex = 0;     // palette colour 1..56 of "[Red]", "[Color n]"; 0: none
    int dbNum = 0;          // 1..3: kanji or full-width digit forms
    bool twelveHour = false;
    int subSecondDigits = 0;
    bool hasText = false;   // contains "@"

    bool matches(double value) const;
    bool negativeOnly() const;  // the condition takes no value >= 0
};

struct FormatCode {
    QList<Section> numberSections;  // 1..3 (4 when conditions are written out)
    std::optional<Section> textSection;
};

// Reads a code; never fails: what cannot be read is shown as literal text.
// Parsed codes are kept in a small per-thread cache.
std::shared_ptr<const FormatCode> parseFormatCode(const QString& code);

// The section a number is shown through, and whether it is shown without its
// sign (the second section, or a first one whose condition takes negative
// values only).
struct Choice {
    const Section* section = nullptr;
    bool dropSign = false;
};
Choice chooseSection(const FormatCode& code, double value);

}  // namespace tabulon::host::format
