#include "reports/sheet/HeaderFooter.h"

#include <QFileInfo>

namespace tabulon::reports::sheet {

namespace {

// "&+5": the page number plus 5; the digits after + or - end at a non-digit.
int readOffset(const QString& code, qsizetype& i) {
    const bool minus = code[i] == QLatin1Char('-');
    qsizetype j = i + 1;
    int value = 0;
    while (j < code.size() && code[j].isDigit() && value < 100000) value = value * 10 + code[j++].digitValue();
    i = j - 1;
    return minus ? -value : value;
}

}  // namespace

HeaderFooterText expandHeaderFooter(const QString& code, const PageFacts& facts) {
    HeaderFooterText out;
    QString* section = &out.centre;  // text before any &L/&C/&R is centred
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar ch = code[i];
        if (ch != QLatin1Char('&') || i + 1 >= code.size()) {
            section->append(ch);
            continue;
        }
        const QChar op = code[++i];
        switch (op.toUpper().unicode()) {
        case 'L': section = &out.left; break;
        case 'C': section = &out.centre; break;
        case 'R': section = &out.right; break;
        case 'P': {
            int page = facts.page;
            if (i + 1 < code.size() && (code[i + 1] == QLatin1Char('+') || code[i + 1] == QLatin1Char('-'))) {
                ++i;
                page += readOffset(code, i);
            }
            section->append(QString::number(page));
            break;
        }
        case 'N': section->append(QString::number(facts.pages)); break;
        case 'D': section->append(facts.printed.toString(QStringLiteral("yyyy/MM/dd"))); break;
        case 'T': section->append(facts.printed.toString(QStringLiteral("H:mm"))); break;
        case 'F': section->append(QFileInfo(facts.filePath).fileName()); break;
        case 'Z': section->append(QFileInfo(facts.filePath).absolutePath() + QLatin1Char('/')); break;
        case 'A': section->append(facts.sheetName); break;
        case '&': section->append(QLatin1Char('&')); break;
        case '"': {  // &"font,style": skipped up to the closing quote
            const qsizetype close = code.indexOf(QLatin1Char('"'), i + 1);
            i = close < 0 ? code.size() : close;
            break;
        }
        case 'K':  // &Krrggbb colour
            i = qMin(code.size() - 1, i + 6);
            break;
        default:
            if (op.isDigit()) {  // &nn font size
                while (i + 1 < code.size() && code[i + 1].isDigit()) ++i;
            }
            // &B &I &U &E &S &X &Y and unknown codes: style only
            break;
        }
    }
    return out;
}

}  // namespace tabulon::reports::sheet
