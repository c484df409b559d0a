#include "host/xls/BookContext.h"

#include <QRegularExpression>

namespace tabulon::xls {

namespace {

bool looksLikeCellReference(const QString& name) {
    static const QRegularExpression a1(QStringLiteral("^[A-Za-z]{1,3}[0-9]+$"));
    static const QRegularExpression r1c1(QStringLiteral("^([Rr][0-9]*)?([Cc][0-9]*)?$"));
    return a1.match(name).hasMatch() || r1c1.match(name).hasMatch();
}

QString quoted(const QString& text) {
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

}  // namespace

bool sheetNeedsQuotes(const QString& name) {
    if (name.isEmpty()) return true;
    if (name.at(0).isDigit() || name.at(0) == QLatin1Char('.')) return true;
    for (QChar ch : name)
        if (!ch.isLetterOrNumber() && ch != QLatin1Char('_') && ch != QLatin1Char('.')) return true;
    return looksLikeCellReference(name);
}

QString quoteSheetName(const QString& name) {
    return sheetNeedsQuotes(name) ? quoted(name) : name;
}

QString BookContext::externSheetPrefix(int ixti) const {
    if (ixti < 0 || size_t(ixti) >= book_.xti.size()) return QString();
    const XtiModel& x = book_.xti[size_t(ixti)];
    if (x.supBook < 0 || size_t(x.supBook) >= book_.supBooks.size()) return QString();
    const SupBookModel& sb = book_.supBooks[size_t(x.supBook)];
    auto sheetName = [](const QStringList& list, int tab) {
        return tab >= 0 && tab < list.size() ? list.at(tab) : QString();
    };
    if (sb.kind == SupBookKind::Self) {
        const QString first = sheetName(book_.boundSheetNames, x.firstTab);
        const QString last = sheetName(book_.boundSheetNames, x.lastTab);
        if (first.isEmpty()) return QString();
        if (last.isEmpty() || x.lastTab == x.firstTab) return quoteSheetName(first);
        const QString both = first + QLatin1Char(':') + last;
        return (sheetNeedsQuotes(first) || sheetNeedsQuotes(last)) ? quoted(both) : both;
    }
    if (sb.kind != SupBookKind::External) return QString();
    const qsizetype cut = std::max(sb.path.lastIndexOf(QLatin1Char('/')), sb.path.lastIndexOf(QLatin1Char('\\')));
    const QString folder = sb.path.left(cut + 1);
    const QString file = sb.path.mid(cut + 1);
    if (x.firstTab < 0) return quoted(sb.path);  // the book itself (external names)
    QString sheets = sheetName(sb.sheetNames, x.firstTab);
    if (x.lastTab != x.firstTab && !sheetName(sb.sheetNames, x.lastTab).isEmpty())
        sheets += QLatin1Char(':') + sheetName(sb.sheetNames, x.lastTab);
    const QString text = folder + QLatin1Char('[') + file + QLatin1Char(']') + sheets;
    const bool plain = folder.isEmpty() && !sheetNeedsQuotes(sheets) && !sheetNeedsQuotes(file);
    return plain ? text : quoted(text);
}

QString BookContext::definedName(int nameIndex) const {
    if (nameIndex < 1 || size_t(nameIndex) > book_.names.size()) return QStringLiteral("#NAME?");
    return book_.names[size_t(nameIndex - 1)].name;
}

QString BookContext::externName(int ixti, int nameIndex) const {
    if (ixti < 0 || size_t(ixti) >= book_.xti.size()) return QStringLiteral("#REF!");
    const int sbIndex = book_.xti[size_t(ixti)].supBook;
    if (sbIndex < 0 || size_t(sbIndex) >= book_.supBooks.size()) return QStringLiteral("#REF!");
    const SupBookModel& sb = book_.supBooks[size_t(sbIndex)];
    if (sb.kind == SupBookKind::Self) return definedName(nameIndex);
    if (nameIndex < 1 || size_t(nameIndex) > sb.names.size()) return QStringLiteral("#NAME?");
    const QString name = sb.names[size_t(nameIndex - 1)].name;
    switch (sb.kind) {
    case SupBookKind::AddIn:
        return name;
    case SupBookKind::OleDde: {
        const qsizetype bar = sb.path.indexOf(QLatin1Char('|'));
        return sb.path.left(bar) + QLatin1Char('|') + quoted(sb.path.mid(bar + 1)) + QLatin1Char('!') + name;
    }
    default: {
        const bool plain = !sheetNeedsQuotes(sb.path);
        return (plain ? sb.path : quoted(sb.path)) + QLatin1Char('!') + name;
    }
    }
}

}  // namespace tabulon::xls
