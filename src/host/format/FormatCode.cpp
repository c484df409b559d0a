#include "host/format/FormatCode.h"

#include "host/format/Palette.h"

#include <QHash>

#include <algorithm>

namespace tabulon::host::format {
namespace {

// Splits at ";" outside quotes, brackets and escapes.
QStringList splitSections(const QString& code) {
    QStringList parts;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (quoted) {
            quoted = c != u'"';
        } else if (c == u'"') {
            quoted = true;
        } else if ((c == u'\\' || c == u'_' || c == u'*') && i + 1 < code.size()) {
            current += c;
            current += code[++i];
            continue;
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            if (end > i) {
                current += code.mid(i, end - i + 1);
                i = end;
                continue;
            }
        } else if (c == u';') {
            parts << current;
            current.clear();
            continue;
        }
        current += c;
    }
    parts << current;
    return parts;
}

void addLiteral(QList<Token>& tokens, const QString& text) {
    if (!tokens.isEmpty() && tokens.last().kind == Tok::Literal)
        tokens.last().text += text;
    else
        tokens.append(Token{Tok::Literal, text});
}

// Counts how many times c (either case) repeats from i.
int runLength(const QString& s, qsizetype i, QChar c) {
    int n = 0;
    while (i + n < s.size() && s[i + n].toLower() == c) ++n;
    return n;
}

// The palette colour a bracket names: "[Red]" and the other seven names are
// the palette's first eight colours, "[Color n]" its n-th; 0 for none.
int paletteIndexOf(const QString& name) {
    static const QHash<QString, int> names = {
        {"black", 1}, {"white", 2}, {"red", 3}, {"green", 4}, {"blue", 5}, {"yellow", 6}, {"magenta", 7},
        {"cyan", 8},  {"黒", 1},    {"白", 2},  {"赤", 3},    {"緑", 4},   {"青", 5},    {"黄", 6},
        {"紫", 7},    {"水", 8},
    };
    if (const auto it = names.find(name.toLower()); it != names.end()) return *it;
    for (const QString& prefix : {QStringLiteral("color"), QStringLiteral("色")}) {
        if (name.startsWith(prefix, Qt::CaseInsensitive)) {
            bool ok = false;
            const int n = name.mid(prefix.size()).trimmed().toInt(&ok);
            if (ok && defaultPaletteColor(n)) return n;
        }
    }
    return 0;
}

bool readCondition(const QString& inner, Section& section) {
    static const QList<QPair<QString, Compare>> ops = {
        {"<=", Compare::LessEqual}, {">=", Compare::GreaterEqual}, {"<>", Compare::NotEqual},
        {"<", Compare::Less},       {">", Compare::Greater},       {"=", Compare::Equal}};
    for (const auto& [op, compare] : ops) {
        if (!inner.startsWith(op)) continue;
        bool ok = false;
        const double operand = inner.mid(op.size()).trimmed().toDouble(&ok);
        if (!ok) return false;
        section.compare = compare;
        section.operand = operand;
        return true;
    }
    return false;
}

// The system's long date and time ("[$-F800]", "[$-F400]") as the Japanese
// locale writes them.
const QString kSystemLongDate = QStringLiteral("yyyy\"年\"m\"月\"d\"日\"");
const QString kSystemTime = QStringLiteral("h:mm:ss");

void parseSection(const QString& source, Section& section);

// One bracketed item; returns false when it replaced the whole section.
bool readBracket(const QString& inner, Section& section, QList<Token>& tokens) {
    const QString lower = inner.toLower();
    if (lower.startsWith(u'$')) {
        const qsizetype dash = inner.indexOf(u'-');
        const QString symbol = inner.mid(1, dash < 0 ? -1 : dash - 1);
        const QString locale = dash < 0 ? QString() : inner.mid(dash + 1).toUpper();
        if (locale.endsWith(QLatin1String("F800")) || locale.endsWith(QLatin1String("F400"))) {
            parseSection(locale.endsWith(QLatin1String("F800")) ? kSystemLongDate : kSystemTime, section);
            return false;
        }
        if (!symbol.isEmpty()) addLiteral(tokens, symbol);
        return true;
    }
    if (lower.startsWith(QLatin1String("dbnum"))) {
        section.dbNum = qBound(0, lower.mid(5).toInt(), 3);
        return true;
    }
    if (!lower.isEmpty() && runLength(lower, 0, lower[0]) == lower.size()) {
        static const QHash<QChar, Tok> elapsed = {
            {u'h', Tok::ElapsedHour}, {u'm', Tok::ElapsedMinute}, {u's', Tok::ElapsedSecond}};
        const auto it = elapsed.find(lower[0]);
        if (it != elapsed.end()) {
            tokens.append(Token{*it, QString(), int(lower.size())});
            return true;
        }
    }
    if (const int index = paletteIndexOf(inner)) {
        section.colorIndex = index;
        return true;
    }
    readCondition(inner, section);
    return true;
}

bool isDateToken(Tok kind) {
    switch (kind) {
    case Tok::Year: case Tok::Month: case Tok::Day: case Tok::Hour: case Tok::Minute:
    case Tok::Second: case Tok::AmPm: case Tok::SubSecond: case Tok::ElapsedHour:
    case Tok::ElapsedMinute: case Tok::ElapsedSecond: case Tok::EraName: case Tok::EraYear:
    case Tok::JpWeekday:
        return true;
    default:
        return false;
    }
}

// "m" and "mm" are minutes right after an hour or right before a second.
void resolveMinutes(QList<Token>& tokens) {
    auto neighbour = [&](qsizetype i, int step) -> const Token* {
        for (qsizetype j = i + step; j >= 0 && j < tokens.size(); j += step)
            if (isDateToken(tokens[j].kind)) return &tokens[j];
        return nullptr;
    };
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        Token& t = tokens[i];
        if (t.kind != Tok::Month || t.count > 2) continue;
        const Token* before = neighbour(i, -1);
        const Token* after = neighbour(i, 1);
        if ((before && (before->kind == Tok::Hour || before->kind == Tok::ElapsedHour))
            || (after && (after->kind == Tok::Second || after->kind == Tok::ElapsedSecond)))
            t.kind = Tok::Minute;
    }
}

void classify(Section& section) {
    bool date = false, general = false, digits = false;
    for (const Token& t : section.tokens) {
        date = date || isDateToken(t.kind);
        general = general || t.kind == Tok::General;
        digits = digits || t.kind == Tok::Digit;
        section.hasText = section.hasText || t.kind == Tok::Text;
        if (t.kind == Tok::AmPm) section.twelveHour = true;
        if (t.kind == Tok::SubSecond) section.subSecondDigits = qMax(section.subSecondDigits, t.count);
    }
    section.kind = date      ? SectionKind::Date
                   : general ? SectionKind::General
                   : (section.hasText && !digits) ? SectionKind::Text
                                                  : SectionKind::Number;
}

void parseSection(const QString& s, Section& section) {
    QList<Token>& tokens = section.tokens;
    bool afterSecond = false;  // a "." here starts fractional seconds
    for (qsizetype i = 0; i < s.size();) {
        const QChar c = s[i];
        const QChar lc = c.toLower();
        const QStringView rest = QStringView(s).mid(i);
        if (c == u'"') {
            const qsizetype end = s.indexOf(u'"', i + 1);
            addLiteral(tokens, s.mid(i + 1, end < 0 ? -1 : end - i - 1));
            i = end < 0 ? s.size() : end + 1;
        } else if ((c == u'\\' || c == u'!') && i + 1 < s.size()) {
            addLiteral(tokens, s.mid(i + 1, 1));
            i += 2;
        } else if ((c == u'_' || c == u'*') && i + 1 < s.size()) {
            tokens.append(Token{c == u'_' ? Tok::Spacing : Tok::Fill, QString(), 0, s[i + 1]});
            i += 2;
        } else if (c == u'[') {
            const qsizetype end = s.indexOf(u']', i);
            if (end < 0) { addLiteral(tokens, rest.toString()); break; }
            if (!readBracket(s.mid(i + 1, end - i - 1), section, tokens)) return;
            i = end + 1;
            afterSecond = !tokens.isEmpty() && tokens.last().kind == Tok::ElapsedSecond;
            continue;
        } else if (rest.startsWith(QLatin1String("general"), Qt::CaseInsensitive)) {
            tokens.append(Token{Tok::General});
            i += 7;
        } else if (rest.startsWith(QStringLiteral("G/標準"))) {
            tokens.append(Token{Tok::General});
            i += 4;
        } else if (rest.startsWith(QLatin1String("am/pm"), Qt::CaseInsensitive)
                   || rest.startsWith(QLatin1String("a/p"), Qt::CaseInsensitive)) {
            const int n = rest[1] == u'/' ? 3 : 5;
            tokens.append(Token{Tok::AmPm, s.mid(i, n)});
            i += n;
        } else if (rest.startsWith(QStringLiteral("午前/午後"))) {
            tokens.append(Token{Tok::AmPm, s.mid(i, 5)});
            i += 5;
        } else if (lc == u'e' && i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-')
                   && std::any_of(tokens.cbegin(), tokens.cend(), [](const Token& t) { return t.kind == Tok::Digit; })) {
            // An exponent only after digits: "ge-m-d" writes an era year.
            tokens.append(Token{Tok::Exponent, s.mid(i + 1, 1)});
            i += 2;
        } else if (c == u'.' && afterSecond && i + 1 < s.size() && s[i + 1] == u'0') {
            const int n = runLength(s, i + 1, u'0');
            tokens.append(Token{Tok::SubSecond, QString(), n});
            i += 1 + n;
        } else if (c == u'/' && i + 1 < s.size() && s[i + 1] >= u'1' && s[i + 1] <= u'9') {
            qsizetype j = i + 1;
            while (j < s.size() && s[j].isDigit()) ++j;
            tokens.append(Token{Tok::Slash});
            tokens.append(Token{Tok::Denominator, QString(), s.mid(i + 1, j - i - 1).toInt()});
            i = j;
        } else {
            static const QHash<QChar, Tok> dateLetters = {
                {u'y', Tok::Year}, {u'm', Tok::Month}, {u'd', Tok::Day}, {u'h', Tok::Hour},
                {u's', Tok::Second}, {u'g', Tok::EraName}, {u'e', Tok::EraYear}};
            const auto date = dateLetters.find(lc);
            if (date != dateLetters.end()) {
                const int n = runLength(s, i, lc);
                tokens.append(Token{*date, QString(), n});
                afterSecond = *date == Tok::Second;
                i += n;
                continue;
            }
            if (lc == u'a' && runLength(s, i, u'a') >= 3) {
                const int n = runLength(s, i, u'a');
                tokens.append(Token{Tok::JpWeekday, QString(), n});
                i += n;
                continue;
            }
            switch (c.unicode()) {
            case u'0': case u'#': case u'?': tokens.append(Token{Tok::Digit, QString(), 0, c}); break;
            case u'.': tokens.append(Token{Tok::Point}); break;
            case u',': tokens.append(Token{Tok::Comma}); break;
            case u'%': tokens.append(Token{Tok::Percent}); break;
            case u'/': tokens.append(Token{Tok::Slash}); break;
            case u'@': tokens.append(Token{Tok::Text}); break;
            default: addLiteral(tokens, QString(c)); break;
            }
            ++i;
            afterSecond = false;
            continue;
        }
        afterSecond = false;
    }
}

}  // namespace

bool Section::matches(double value) const {
    switch (compare) {
    case Compare::None: return true;
    case Compare::Less: return value < operand;
    case Compare::LessEqual: return value <= operand;
    case Compare::Greater: return value > operand;
    case Compare::GreaterEqual: return value >= operand;
    case Compare::Equal: return value == operand;
    case Compare::NotEqual: return value != operand;
    }
    return true;
}

bool Section::negativeOnly() const {
    return (compare == Compare::Less && operand <= 0) || (compare == Compare::LessEqual && operand < 0)
           || (compare == Compare::Equal && operand < 0);
}

std::shared_ptr<const FormatCode> parseFormatCode(const QString& code) {
    thread_local QHash<QString, std::shared_ptr<const FormatCode>> cache;
    if (const auto it = cache.constFind(code); it != cache.cend()) return *it;

    auto parsed = std::make_shared<FormatCode>();
    const QStringList parts = splitSections(code);
    QList<Section> sections;
    for (qsizetype i = 0; i < parts.size() && i < 4; ++i) {
        Section section;
        parseSection(parts[i], section);
        resolveMinutes(section.tokens);
        classify(section);
        sections << section;
    }
    // The fourth section, or a last one that shows "@" and no digits, is for text.
    if (sections.size() == 4 || (sections.size() > 1 && sections.last().kind == SectionKind::Text))
        parsed->textSection = sections.takeLast();
    else if (sections.size() == 1 && sections.first().kind == SectionKind::Text)
        parsed->textSection = sections.takeLast();
    parsed->numberSections = sections;

    if (cache.size() > 4096) cache.clear();
    cache.insert(code, parsed);
    return parsed;
}

Choice chooseSection(const FormatCode& code, double value) {
    const QList<Section>& s = code.numberSections;
    if (s.isEmpty()) return {};
    const bool conditional = s[0].compare != Compare::None
                             || (s.size() > 1 && s[1].compare != Compare::None);
    if (!conditional) {
        if (s.size() == 1 || value > 0 || (value == 0 && s.size() == 2)) return {&s[0], false};
        if (value < 0) return {&s[1], true};
        return {&s[2], false};
    }
    // The second section shows its values without a sign, as a negative
    // section does, whatever its condition; the first only when its
    // condition admits negative values alone ("[<0]").
    if (s[0].compare != Compare::None && s[0].matches(value)) return {&s[0], s[0].negativeOnly()};
    // A value no condition takes is shown through the first section.
    if (s.size() == 1) return {&s[0], false};
    if (s[1].compare != Compare::None) {
        if (s[1].matches(value)) return {&s[1], true};
        return {&s[s.size() > 2 ? 2 : 0], false};
    }
    if (s.size() == 2 || value < 0) return {&s[1], true};
    return {&s[2], false};
}

}  // namespace tabulon::host::format
