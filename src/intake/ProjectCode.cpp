#include "intake/ProjectCode.h"

#include <QStringTokenizer>

namespace tabulon::intake {

namespace {

bool startsWithWord(QStringView line, QStringView word) {
    return line.startsWith(word, Qt::CaseInsensitive) &&
           (line.size() == word.size() || line[word.size()] == u' ' || line[word.size()] == u'\t');
}

}  // namespace

bool holdsCode(QStringView exportText) {
    // Class, document and form modules open with the exporter's VERSION
    // block (and a form's design); a standard module's text is all its own.
    bool inSource = !startsWithWord(exportText.trimmed(), u"VERSION");
    for (QStringView line : QStringTokenizer(exportText, u'\n')) {
        const QStringView t = line.trimmed();
        if (startsWithWord(t, u"Attribute")) {
            inSource = true;
            continue;
        }
        if (!inSource || t.isEmpty() || startsWithWord(t, u"Option")) continue;
        return true;
    }
    return false;
}

}  // namespace tabulon::intake
