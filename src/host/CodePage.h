#pragma once
// The one code-page converter: text stored in a Windows ANSI code page (a VBA
// project's PROJECTCODEPAGE, a property set's CodePage property, a legacy
// settings file): 932 for Japanese Windows, 1252 for Western, any other
// Windows code page in principle.
#include <QByteArray>
#include <QString>

namespace tabulon::host {

// Decodes `bytes` from Windows code page `codePage`. Byte sequences the code
// page does not define become U+FFFD, so damaged text still reads. A code
// page that iconv does not know is read as 1252.
QString decodeCodePage(const QByteArray& bytes, int codePage);

// Whether iconv can decode this code page.
bool isKnownCodePage(int codePage);

}  // namespace tabulon::host
