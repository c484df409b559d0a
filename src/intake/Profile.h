#pragma once
// Settings files in the Windows profile format ("[Section]" lines followed by
// "Key=Value" lines), read and written with the rules of the profile calls the
// program always used: section and key names compare without regard to case,
// a missing file, section or key yields the caller's default, a value ends at
// its first NUL, and writing a key creates its section and line as needed and
// leaves every other line as it was.
//
// The files are UTF-8. Files written by the program's Windows years are in the
// Japanese ANSI code page; a file that is not valid UTF-8 is read as CP932.
#include <QByteArray>
#include <QString>
#include <array>

namespace tabulon::intake {

// Text of a settings file: UTF-8 (a leading byte-order mark dropped), or CP932
// when the bytes are not valid UTF-8.
QString decodeSettingsText(const QByteArray& bytes);

QString readProfileString(const QString& file, const QString& section,
                          const QString& key, const QString& defaultValue);

// Replaces the file as a whole (temporary file, then rename), so a crash never
// leaves half a settings file. Throws tabulon::Error 75 when it cannot write.
// A value is cut at its first line break, which would end the line in the file.
void writeProfileString(const QString& file, const QString& section,
                        const QString& key, const QString& value);

// What a settings slot that names no file holds (a recent file, the last
// folder): the old program's default "0"; any text starting with it counts.
inline const QString kNoFileMarker = QStringLiteral("0");
bool isNoFileMarker(const QString& entry);

// The recent-file list: four slots, newest first, "RecentFile1".."RecentFile4"
// of section RECENT. A slot holding the no-file marker (or nothing) is empty.
using RecentFiles = std::array<QString, 4>;

RecentFiles GetRecentFiles(const QString& iniPath);
bool isRecentSlotUsed(const QString& entry);
// Stores `path` as RecentFile1 and moves the first three loaded entries down
// one slot. Empty slots are not written, so the file keeps its old value there;
// an empty `path` writes nothing at all.
void WriteRecentFiles(const QString& iniPath, const RecentFiles& loaded,
                      const QString& path);

}  // namespace tabulon::intake
