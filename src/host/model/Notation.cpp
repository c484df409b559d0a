// How the spreadsheet writes cell addresses, sheet prefixes and error
// values in formula text.
#include "host/model/Notation.h"

#include <QRegularExpression>

namespace tabulon::model {
namespace {

// "IV65536" is a cell of the sheet; "Sh3" is not (column SH lies beyond IV).
bool isCellAddress(const QString& name) {
    static const QRegularExpression a1(QStringLiteral("^([A-Za-z]{1,2})([0-9]{1,5})$"));
    const QRegularExpressionMatch m = a1.match(name);
    if (!m.hasMatch())
        return false;
    int col = 0;
    for (const QChar ch : m.captured(1))
        col = col * 26 + (ch.toUpper().unicode() - 'A' + 1);
    const int row = m.captured(2).toInt();
    return col <= 256 && row >= 1 && row <= 65536;
}

// A sheet name is written bare when it could not be read as anything else:
// letters (of any script), digits, "_" and "." only, not starting with a
// digit, and not shaped like a cell reference in either notation.
bool needsQuotes(const QString& name) {
    if (name.isEmpty())
        return false;
    if (name.front().isDigit())
        return true;
    for (const QChar ch : name) {
        if (!ch.isLetterOrNumber() && ch != QLatin1Char('_') && ch != QLatin1Char('.'))
            return true;
    }
    static const QRegularExpression r1c1(QStringLiteral("^([Rr][0-9]*)?([Cc][0-9]*)?$"));
    return isCellAddress(name) || r1c1.match(name).hasMatch();
}

// The book part may hold a path ("C:\data\[Prices.xls]"); brackets are part
// of the notation, anything else unusual forces quotes.
bool bookNeedsQuotes(const QString& book) {
    for (const QChar ch : book) {
        if (!ch.isLetterOrNumber() && !QStringLiteral("_.[]").contains(ch))
            return true;
    }
    return false;
}

}  // namespace

QString sheetPrefixText(const QString& book, const QString& firstSheet, const QString& lastSheet) {
    QString text = book + firstSheet;
    bool quote = bookNeedsQuotes(book) || needsQuotes(firstSheet);
    if (!lastSheet.isEmpty() && lastSheet != firstSheet) {
        text += QLatin1Char(':') + lastSheet;
        quote = quote || needsQuotes(lastSheet);
    }
    if (!quote)
        return text;
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString quoteSheetName(const QString& name) { return sheetPrefixText(QString(), name); }

QString a1Column(int col) {
    QString s;
    for (int c = col + 1; c > 0; c = (c - 1) / 26)
        s.prepend(QChar(u'A' + (c - 1) % 26));
    return s;
}

QString cellAddress(int row, int col, bool absolute) {
    const QString dollar = absolute ? QStringLiteral("$") : QString();
    return dollar + a1Column(col) + dollar + QString::number(row + 1);
}

QString errorValueText(int code) {
    switch (code) {
    case errorcode::Null: return QStringLiteral("#NULL!");
    case errorcode::Div0: return QStringLiteral("#DIV/0!");
    case errorcode::Value: return QStringLiteral("#VALUE!");
    case errorcode::Ref: return QStringLiteral("#REF!");
    case errorcode::Name: return QStringLiteral("#NAME?");
    case errorcode::Num: return QStringLiteral("#NUM!");
    case errorcode::NA: return QStringLiteral("#N/A");
    default: return {};
    }
}

}  // namespace tabulon::model
