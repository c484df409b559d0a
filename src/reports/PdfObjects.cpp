#include "reports/PdfObjects.h"

#include "common/Error.h"

#include <QRegularExpression>
#include <algorithm>

namespace tabulon::reports {

int pdfReference(const QByteArray& dict, const char* key) {
    const QRegularExpression re(QStringLiteral("/%1\\s+(\\d+)\\s+\\d+\\s+R").arg(QLatin1String(key)));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(dict));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

qint64 pdfNumber(const QByteArray& dict, const char* key) {
    const QRegularExpression re(QStringLiteral("/%1\\s+(\\d+)").arg(QLatin1String(key)));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(dict));
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

QByteArray pdfTextString(const QString& text) {
    QByteArray out = "<FEFF";
    for (QChar c : text) out += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return out + '>';
}

PdfObjects::PdfObjects(const QString& path, QByteArray bytes) : path_(path), bytes_(std::move(bytes)) {
    const qsizetype at = bytes_.lastIndexOf("startxref");
    if (at < 0) fail("startxref");
    xref = bytes_.mid(at + 9, 24).trimmed().split('\n').front().trimmed().toLongLong();
    // Sections from the newest back along /Prev; a newer entry wins.
    for (qint64 section = xref; section >= 0 && sections < 64; ++sections) {
        const QByteArray t = readSection(section);
        if (trailer.isEmpty()) trailer = t;
        section = pdfNumber(t, "Prev");
    }
}

void PdfObjects::fail(const char* what) const {
    throw Error(err::PathFileAccess,
                QStringLiteral("PDF ファイル「%1」の構造を読み取れません (%2)。").arg(path_, QLatin1String(what)));
}

QByteArray PdfObjects::object(int n) const {
    const qint64 at = offsets_.value(n, -1);
    const qsizetype body = at < 0 ? -1 : bytes_.indexOf("obj", at);
    const qsizetype end = body < 0 ? -1 : bytes_.indexOf("endobj", body);
    if (end < 0) fail("object");
    return bytes_.mid(body + 3, end - body - 3);
}

void PdfObjects::collectPages(int node, std::vector<int>& pages, std::vector<int>* nodes, int depth) const {
    const QByteArray dict = object(node);
    if (!dict.contains("/Kids")) {
        pages.push_back(node);
        return;
    }
    if (depth > 32) fail("page tree");
    if (nodes) nodes->push_back(node);
    const qsizetype open = dict.indexOf('[', dict.indexOf("/Kids")), close = dict.indexOf(']', open);
    if (open < 0 || close < 0) fail("page tree");
    static const QRegularExpression ref(QStringLiteral("(\\d+)\\s+\\d+\\s+R"));
    for (const auto& m : ref.globalMatch(QString::fromLatin1(dict.mid(open, close - open))))
        collectPages(m.captured(1).toInt(), pages, nodes, depth + 1);
}

std::vector<std::pair<qint64, int>> PdfObjects::objectsInFileOrder() const {
    std::vector<std::pair<qint64, int>> order;
    order.reserve(size_t(offsets_.size()));
    for (auto it = offsets_.cbegin(); it != offsets_.cend(); ++it) order.emplace_back(it.value(), it.key());
    std::sort(order.begin(), order.end());
    return order;
}

QByteArray PdfObjects::readSection(qint64 at) {
    if (at >= bytes_.size() || !bytes_.mid(at, 4).startsWith("xref")) fail("xref");
    const qsizetype trailerAt = bytes_.indexOf("trailer", at);
    const qsizetype endAt = bytes_.indexOf("startxref", trailerAt);
    if (trailerAt < 0 || endAt < 0) fail("trailer");
    int next = 0;
    for (const QByteArray& line : bytes_.mid(at + 4, trailerAt - at - 4).split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() == 2) {
            next = f[0].toInt();
        } else if (f.size() == 3) {
            if (f[2] == "n" && !offsets_.contains(next)) offsets_.insert(next, f[0].toLongLong());
            ++next;
        }
    }
    return bytes_.mid(trailerAt, endAt - trailerAt);
}

namespace {

bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == 0; }
bool isDelimiter(char c) { return isSpace(c) || QByteArrayView("()<>[]{}/%").contains(c); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The end of a run of digits from `at`.
qsizetype digitsEnd(QByteArrayView t, qsizetype at) {
    while (at < t.size() && isDigit(t[at])) ++at;
    return at;
}
qsizetype spacesEnd(QByteArrayView t, qsizetype at) {
    while (at < t.size() && isSpace(t[at])) ++at;
    return at;
}

// The end of the literal string opening at `at` (balanced parentheses,
// backslash escapes).
qsizetype literalEnd(QByteArrayView t, qsizetype at) {
    int depth = 0;
    for (; at < t.size(); ++at) {
        if (t[at] == '\\') ++at;
        else if (t[at] == '(') ++depth;
        else if (t[at] == ')' && --depth == 0) return at + 1;
    }
    return at;
}

}  // namespace

QByteArray renumberedObject(QByteArrayView text, int newNumber, const std::function<int(int)>& map) {
    // "12 0 obj" becomes the new number.
    const qsizetype header = text.indexOf("obj");
    QByteArray out = QByteArray::number(newNumber) + " 0 obj";
    out.reserve(text.size() + 16);
    qsizetype i = header < 0 ? text.size() : header + 3;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '(') {
            const qsizetype end = literalEnd(text, i);
            out += text.sliced(i, end - i);
            i = end;
        } else if (c == '%') {
            qsizetype end = i;
            while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
            out += text.sliced(i, end - i);
            i = end;
        } else if (c == '<' && i + 1 < text.size() && text[i + 1] == '<') {
            out += "<<";
            i += 2;
        } else if (c == '<') {
            const qsizetype close = text.indexOf('>', i);
            const qsizetype end = close < 0 ? text.size() : close + 1;
            out += text.sliced(i, end - i);
            i = end;
        } else if (isDigit(c) && (i == 0 || isDelimiter(text[i - 1]))) {
            // "n g R" is a reference; any other number stays as it is.
            const qsizetype numberEnd = digitsEnd(text, i);
            const qsizetype genAt = spacesEnd(text, numberEnd);
            const qsizetype genEnd = digitsEnd(text, genAt);
            const qsizetype rAt = spacesEnd(text, genEnd);
            if (numberEnd > i && genAt > numberEnd && genEnd > genAt && rAt > genEnd && rAt < text.size() &&
                text[rAt] == 'R' && (rAt + 1 == text.size() || isDelimiter(text[rAt + 1]))) {
                out += QByteArray::number(map(text.sliced(i, numberEnd - i).toInt())) + " 0 R";
                i = rAt + 1;
            } else {
                out += text.sliced(i, numberEnd - i);
                i = numberEnd;
            }
        } else if (text.sliced(i).startsWith("stream") && (i == 0 || isDelimiter(text[i - 1]))) {
            out += text.sliced(i);  // the data and what follows it stay as they are
            break;
        } else if (c == '/') {
            qsizetype end = i + 1;
            while (end < text.size() && !isDelimiter(text[end])) ++end;
            out += text.sliced(i, end - i);
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace tabulon::reports
