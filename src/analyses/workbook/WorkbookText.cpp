#include "analyses/workbook/WorkbookText.h"

#include <algorithm>
#include <cmath>

namespace tabulon::analyses::workbook {

QString cutChars(const QString& text, qsizetype length) {
    if (length <= 0) return QString();
    if (text.size() <= length) return text;
    if (text.at(length - 1).isHighSurrogate() && text.at(length).isLowSurrogate()) --length;
    return text.left(length);
}

QString StrDel(const QString& text, const QString& find) {
    if (trimBlanks(text).isEmpty()) return QString();
    if (find.isEmpty()) return text;
    // Short texts without blanks (cell addresses) lose every occurrence and
    // nothing else: neither the 255-character limit nor the trim can apply.
    if (text.size() <= 255 && !text.contains(u' ')) return QString(text).remove(find, Qt::CaseInsensitive);
    QString r = text;
    qsizetype p = r.indexOf(find, 0, Qt::CaseInsensitive);
    while (p >= 0) {
        const QString rest = cutChars(r.mid(p + find.size()), 255);
        r = p == 0 ? trimBlanks(rest) : r.left(p) + rest;
        p = r.indexOf(find, 0, Qt::CaseInsensitive);
    }
    return r;
}

QString LinkBookRef(const QString& path) {
    if (path.isEmpty()) return QString();
    const qsizetype slash = path.lastIndexOf(u'\\');
    return path.left(slash + 1) + u'[' + path.mid(slash + 1) + u']';
}

int percentOf(qint64 done, qint64 total) {
    if (total <= 0) return 0;
    const double p = std::floor(100.0 * double(done) / double(total) + 0.5);
    return int(std::clamp(p, 0.0, 100.0));
}

}  // namespace tabulon::analyses::workbook
