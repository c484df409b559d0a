#pragma once
// Japanese calendar eras, weekday names and the DBNum digit forms.
#include <QString>

namespace tabulon::host::format {

struct CivilDate {
    int year = 1900;
    int month = 1;
    int day = 1;
};

// The era of a date and its year within the era (1 in the era's first year).
struct Era {
    QString name;    // "平成"
    QChar letter;    // 'H'
    int year = 0;
};
Era japaneseEra(const CivilDate& date);

// "日" .. "土" (weekday 0 = Sunday); full: "日曜日".
QString japaneseWeekday(int weekday, bool full);

// A run of ASCII digits in a digit form. DBNum1: kanji 一二三 with
// 十百千万 place words; DBNum2: the formal 壱弐参 with 拾百阡萬; DBNum3:
// full-width digits with place words. placeWords false writes digit by digit.
QString dbNumDigits(const QString& digits, int form, bool placeWords);

// Every run of digits in text through dbNumDigits.
QString dbNumText(const QString& text, int form, bool placeWords);

}  // namespace tabulon::host::format
