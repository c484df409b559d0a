#include "host/format/DatePart.h"

#include "host/format/Emit.h"
#include "host/format/JapaneseForms.h"

#include <cmath>
#include <optional>

namespace tabulon::host::format {
namespace {

// Days since 1970-01-01 to a proleptic Gregorian date.
CivilDate fromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int day = int(doy - (153 * mp + 2) / 5 + 1);
    const int month = int(mp < 10 ? mp + 3 : mp - 9);
    return {int(yoe + era * 400 + (month <= 2)), month, day};
}

constexpr long long kDays1899_12_31 = -25568;  // days from 1970-01-01
constexpr long long kDays1904_01_01 = -24107;

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

QString padded(long long n, int width) {
    return QString::number(n).rightJustified(width, u'0');
}

struct Moment {
    CivilDate date;
    int weekday = 0;
    long long day = 0;            // whole serial day
    int hour = 0, minute = 0, second = 0;
    long long subUnits = 0;       // the fraction of the second in those units
};

}  // namespace

CivilDate serialDate(long long day, bool date1904) {
    if (date1904) return fromDays(kDays1904_01_01 + day);
    if (day == 0) return {1900, 1, 0};
    if (day == 60) return {1900, 2, 29};
    return fromDays(kDays1899_12_31 + (day < 60 ? day : day - 1));
}

int serialWeekday(long long day, bool date1904) {
    return int(((day + (date1904 ? 5 : 6)) % 7 + 7) % 7);
}

bool renderDateSection(const Section& section, double value, bool date1904, Display& out) {
    if (!(value >= 0) || value >= kLastSerial + 1 || (date1904 && value >= kLastSerial + 1 - 1462)) return false;
    // The time rounds to the smallest unit the section shows.
    long long unitsPerSecond = 1;
    for (int i = 0; i < section.subSecondDigits; ++i) unitsPerSecond *= 10;
    const long long unitsPerDay = 86400 * unitsPerSecond;
    const long long total = std::llround(value * double(unitsPerDay));
    Moment m;
    m.day = total / unitsPerDay;
    const long long ofDay = total % unitsPerDay;
    m.date = serialDate(m.day, date1904);
    m.weekday = serialWeekday(m.day, date1904);
    m.subUnits = ofDay % unitsPerSecond;
    const long long seconds = ofDay / unitsPerSecond;
    m.hour = int(seconds / 3600);
    m.minute = int(seconds / 60 % 60);
    m.second = int(seconds % 60);
    const long long totalSeconds = total / unitsPerSecond;

    std::optional<Era> era;  // looked up when the section shows one
    auto eraOf = [&]() -> const Era& {
        if (!era) era = japaneseEra(m.date);
        return *era;
    };
    // In the kanji forms a year is written digit by digit (二〇〇一), the
    // other fields with place words (十二月); full-width digits (DBNum3)
    // stay digits.
    auto field = [&](long long n, int width, bool year = false) {
        const QString digits = padded(n, width);
        return section.dbNum > 0 ? dbNumDigits(digits, section.dbNum, !year && section.dbNum < 3) : digits;
    };
    for (qsizetype i = 0; i < section.tokens.size(); ++i) {
        const Token& t = section.tokens[i];
        if (emitCommon(out, t)) continue;
        const int n = t.count;
        switch (t.kind) {
        case Tok::Year:
            out.text += n <= 2 ? field(m.date.year % 100, 2, true) : field(m.date.year, 4, true);
            break;
        case Tok::Month:
            if (n <= 2) out.text += field(m.date.month, n);
            else if (n == 3) out.text += QString::fromLatin1(kMonths[m.date.month - 1]).left(3);
            else if (n == 4) out.text += QString::fromLatin1(kMonths[m.date.month - 1]);
            else out.text += QString::fromLatin1(kMonths[m.date.month - 1]).left(1);
            break;
        case Tok::Day:
            if (n <= 2) out.text += field(m.date.day, n);
            else out.text += QString::fromLatin1(kWeekdays[m.weekday]).left(n == 3 ? 3 : -1);
            break;
        case Tok::Hour: {
            int hour = m.hour;
            if (section.twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
            out.text += field(hour, qMin(n, 2));
            break;
        }
        case Tok::Minute: out.text += field(m.minute, qMin(n, 2)); break;
        case Tok::Second: out.text += field(m.second, qMin(n, 2)); break;
        case Tok::SubSecond: {
            const QString digits = padded(m.subUnits, section.subSecondDigits);
            out.text += u'.' + digits.left(n);
            break;
        }
        case Tok::ElapsedHour: out.text += field(totalSeconds / 3600, n); break;
        case Tok::ElapsedMinute: out.text += field(totalSeconds / 60, n); break;
        case Tok::ElapsedSecond: out.text += field(totalSeconds, n); break;
        case Tok::AmPm: {
            const bool pm = m.hour >= 12;
            const QString& w = t.text;
            if (w.size() == 3) out.text += pm ? w.mid(2, 1) : w.left(1);  // "A/P" keeps its case
            else if (w.compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) out.text += pm ? QStringLiteral("PM") : QStringLiteral("AM");
            else if (w.size() == 5 && w[2] == u'/') out.text += pm ? w.mid(3) : w.left(2);  // 午前/午後
            else out.text += pm ? QStringLiteral("PM") : QStringLiteral("AM");
            break;
        }
        case Tok::EraName:
            if (n == 1) out.text += eraOf().letter;
            else if (n == 2) out.text += eraOf().name.left(1);
            else out.text += eraOf().name;
            break;
        case Tok::EraYear: {
            // The first year of an era written before "年" is 元 (令和元年).
            const bool beforeNen = i + 1 < section.tokens.size() && section.tokens[i + 1].kind == Tok::Literal
                                   && section.tokens[i + 1].text.startsWith(u'年');
            if (n == 1 && eraOf().year == 1 && beforeNen) out.text += u'元';
            else out.text += field(eraOf().year, qMin(n, 2));
            break;
        }
        case Tok::JpWeekday: out.text += japaneseWeekday(m.weekday, n >= 4); break;
        case Tok::Digit: out.text += t.ch == u'?' ? QStringLiteral(" ") : QString(t.ch); break;
        case Tok::Point: out.text += u'.'; break;
        case Tok::Slash: out.text += u'/'; break;
        case Tok::Comma: out.text += u','; break;
        case Tok::Percent: out.text += u'%'; break;
        default: break;
        }
    }
    return true;
}

}  // namespace tabulon::host::format
