#include "host/format/JapaneseForms.h"

#include <array>
#include <tuple>

namespace tabulon::host::format {

Era japaneseEra(const CivilDate& date) {
    struct Start { int year, month, day; const char16_t* name; char16_t letter; };
    // Each era from its first day; dates before Meiji count as Meiji.
    static constexpr std::array<Start, 5> eras = {{
        {2019, 5, 1, u"令和", u'R'},
        {1989, 1, 8, u"平成", u'H'},
        {1926, 12, 25, u"昭和", u'S'},
        {1912, 7, 30, u"大正", u'T'},
        {1868, 1, 1, u"明治", u'M'},
    }};
    const auto key = std::tuple(date.year, date.month, date.day);
    for (const Start& e : eras) {
        if (key >= std::tuple(e.year, e.month, e.day) || e.letter == u'M')
            return {QString::fromUtf16(e.name), QChar(e.letter), date.year - e.year + 1};
    }
    return {};
}

QString japaneseWeekday(int weekday, bool full) {
    static const QString names = QStringLiteral("日月火水木金土");
    const QString day = names.mid(((weekday % 7) + 7) % 7, 1);
    return full ? day + QStringLiteral("曜日") : day;
}

namespace {

struct DigitForm {
    const char16_t* digits;  // 0..9
    const char16_t* places;  // 10, 100, 1000
    const char16_t* groups;  // 10^4, 10^8, 10^12
    bool writeOne;           // "壱拾" rather than "拾"
};

const DigitForm& digitForm(int form) {
    static const DigitForm forms[] = {
        {u"〇一二三四五六七八九", u"十百千", u"万億兆", false},
        {u"〇壱弐参四伍六七八九", u"拾百阡", u"萬億兆", true},
        {u"０１２３４５６７８９", u"十百千", u"万億兆", true},
    };
    return forms[qBound(1, form, 3) - 1];
}

QString withPlaceWords(const QString& digits, const DigitForm& f) {
    QString number = digits;
    while (number.size() > 1 && number.startsWith(u'0')) number.remove(0, 1);
    if (number == QLatin1String("0")) return QString(QChar(f.digits[0]));
    if (number.size() > 16) return QString();  // beyond 兆: caller writes digit by digit
    QString out;
    const qsizetype n = number.size();
    for (qsizetype i = 0; i < n; ++i) {
        const int d = number[i].unicode() - u'0';
        const qsizetype place = n - 1 - i;  // power of ten
        const int inGroup = int(place % 4);
        if (d != 0) {
            if (d != 1 || inGroup == 0 || f.writeOne) out += QChar(f.digits[d]);
            if (inGroup > 0) out += QChar(f.places[inGroup - 1]);
        }
        if (inGroup == 0 && place > 0) {
            const QString group = number.mid(qMax<qsizetype>(0, i - 3), qMin<qsizetype>(4, i + 1));
            if (group.toInt() != 0) out += QChar(f.groups[place / 4 - 1]);
        }
    }
    return out;
}

}  // namespace

QString dbNumDigits(const QString& digits, int form, bool placeWords) {
    const DigitForm& f = digitForm(form);
    if (placeWords) {
        const QString words = withPlaceWords(digits, f);
        if (!words.isEmpty()) return words;
    }
    QString out;
    for (const QChar c : digits) out += QChar(f.digits[c.unicode() - u'0']);
    return out;
}

QString dbNumText(const QString& text, int form, bool placeWords) {
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] < u'0' || text[i] > u'9') {
            out += text[i++];
            continue;
        }
        qsizetype j = i;
        while (j < text.size() && text[j] >= u'0' && text[j] <= u'9') ++j;
        // Digits after a decimal point are read one by one.
        const bool fraction = i > 0 && text[i - 1] == u'.';
        out += dbNumDigits(text.mid(i, j - i), form, placeWords && !fraction);
        i = j;
    }
    return out;
}

}  // namespace tabulon::host::format
