#pragma once
// Tabulon2.dat: the cover-page defaults the user saved with the 登録 button.
// One "Key=Value" entry per line in the order Title, Kisya (company), Bumon
// (department), Zoom; lines end in CR LF.
#include <QString>

namespace tabulon::intake {

struct BasicInfo {
    QString title;    // Title=
    QString company;  // Kisya=
    QString bumon;    // Bumon=
    QString zoom;     // Zoom=
    bool operator==(const BasicInfo&) const = default;
};

// ReadBasicInfo. A line belongs to the first key word it contains anywhere,
// tested in the order Title, Kisya, Bumon, Zoom (so "Kisya=Title Co." is a
// title line); its value is taken from just after "Key=" relative to where the
// key word starts: at most 255 characters (2 for Zoom), trailing blanks
// removed. Throws tabulon::Error 53 when the file is missing.
BasicInfo readBasicInfo(const QString& path);

// Writes the four lines (values as given) in one atomic replacement; throws
// tabulon::Error 75 when the file cannot be written.
void writeBasicInfo(const QString& path, const BasicInfo& info);

// Trims the blanks around each text, as the 登録 button stores them.
BasicInfo trimmedBasicInfo(const BasicInfo& info);

}  // namespace tabulon::intake
