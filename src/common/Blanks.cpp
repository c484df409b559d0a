#include "common/Blanks.h"

namespace tabulon {

QString trimBlanks(const QString& text) {
    qsizetype start = 0, end = text.size();
    while (start < end && text[start] == u' ') ++start;
    while (end > start && text[end - 1] == u' ') --end;
    return text.mid(start, end - start);
}

QString trimTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ') --end;
    return text.left(end);
}

}  // namespace tabulon
