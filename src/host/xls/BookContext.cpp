#include "host/xls/BookContext.h"


namespace tabulon::xls {

namespace {

QString quoted(const QString& text) {
    QString inner = text;
    inner.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

}  // namespace

BookContext::BookContext(const Globals& book) : BookContext(book, book.supBooks, book.xti) {}

BookContext::BookContext(const Globals& book, const std::vector<SupBookModel>& supBooks,
                         const std::vector<XtiModel>& xti)
    : book_(book), supBooks_(supBooks), xti_(xti) {
    prefixes_.reserve(xti.size());
    for (size_t i = 0; i < xti.size(); ++i) prefixes_.push_back(computeExternSheetPrefix(int(i)));
    bookPrefixes_.reserve(supBooks.size());
    for (const SupBookModel& sb : supBooks)
        bookPrefixes_.push_back(sb.kind == SupBookKind::External ? sheetPrefixText(QString(), sb.path) : QString());
}

QString BookContext::externSheetPrefix(int ixti) const {
    if (ixti < 0 || size_t(ixti) >= prefixes_.size()) return QString();
    return prefixes_[size_t(ixti)];
}

QString BookContext::computeExternSheetPrefix(int ixti) const {
    if (ixti < 0 || size_t(ixti) >= xti_.size()) return QString();
    const XtiModel& x = xti_[size_t(ixti)];
    if (x.supBook < 0 || size_t(x.supBook) >= supBooks_.size()) return QString();
    const SupBookModel& sb = supBooks_[size_t(x.supBook)];
    auto sheetName = [](const QStringList& list, int tab) {
        return tab >= 0 && tab < list.size() ? list.at(tab) : QString();
    };
    if (sb.kind == SupBookKind::Self) {
        const QString first = sheetName(book_.boundSheetNames, x.firstTab);
        if (first.isEmpty()) return QString();
        return sheetPrefixText(QString(), first, sheetName(book_.boundSheetNames, x.lastTab));
    }
    if (sb.kind != SupBookKind::External) return QString();
    if (x.firstTab < 0) return quoted(sb.path);  // the book itself (external names)
    const qsizetype cut = std::max(sb.path.lastIndexOf(QLatin1Char('/')), sb.path.lastIndexOf(QLatin1Char('\\')));
    const QString book = sb.path.left(cut + 1) + QLatin1Char('[') + sb.path.mid(cut + 1) + QLatin1Char(']');
    return sheetPrefixText(book, sheetName(sb.sheetNames, x.firstTab), sheetName(sb.sheetNames, x.lastTab));
}

QString BookContext::ownSheetsPrefix(int firstTab, int lastTab) const {
    const QStringList& names = book_.boundSheetNames;
    if (firstTab < 0 || firstTab >= names.size()) return QString();
    const QString last = lastTab >= 0 && lastTab < names.size() ? names.at(lastTab) : QString();
    return sheetPrefixText(QString(), names.at(firstTab), last);
}

QString BookContext::definedName(int nameIndex) const {
    if (nameIndex < 1 || size_t(nameIndex) > book_.names.size()) return QStringLiteral("#NAME?");
    return book_.names[size_t(nameIndex - 1)].name;
}

QString BookContext::definedNameOn(int nameIndex, const QString* formulaSheet) const {
    const QString name = definedName(nameIndex);
    if (!formulaSheet || nameIndex < 1 || size_t(nameIndex) > book_.names.size()) return name;
    const int tab = book_.names[size_t(nameIndex - 1)].sheetIndex;  // 0: the workbook's
    if (tab < 1 || tab > book_.boundSheetNames.size()) return name;
    const QString& owner = book_.boundSheetNames.at(tab - 1);
    return owner == *formulaSheet ? name : quoteSheetName(owner) + QLatin1Char('!') + name;
}

QString BookContext::externName(int ixti, int nameIndex) const {
    if (ixti < 0 || size_t(ixti) >= xti_.size()) return QStringLiteral("#REF!");
    const int sbIndex = xti_[size_t(ixti)].supBook;
    if (sbIndex < 0 || size_t(sbIndex) >= supBooks_.size()) return QStringLiteral("#REF!");
    const SupBookModel& sb = supBooks_[size_t(sbIndex)];
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
        return bookPrefixes_[size_t(sbIndex)] + QLatin1Char('!') + name;
    }
    }
}

}  // namespace tabulon::xls
