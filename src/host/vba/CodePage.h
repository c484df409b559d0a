#pragma once
// Text of a VBA project is stored in the project's ANSI code page
// (PROJECTCODEPAGE of the dir stream): 932 for Japanese Windows, 1252 for
// Western, any other Windows code page in principle.
#include <QByteArray>
#include <QString>

namespace tabulon::vba {

// Decodes `bytes` from Windows code page `codePage`. Byte sequences the code
// page does not define become U+FFFD, so damaged text still reads. A code
// page that iconv does not know is read as 1252.
QString decodeCodePage(const QByteArray& bytes, int codePage);

// Whether iconv can decode this code page.
bool isKnownCodePage(int codePage);

}  // namespace tabulon::vba
