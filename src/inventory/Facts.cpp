#include "inventory/Facts.h"

#include <QJsonArray>

namespace tabulon::inventory {

QString kindName(FileKind kind) {
    switch (kind) {
    case FileKind::Workbook: return QStringLiteral("workbook");
    case FileKind::Failed: return QStringLiteral("failed");
    case FileKind::Other: break;
    }
    return QStringLiteral("other");
}

qint64 FileFacts::vbaLines() const {
    qint64 n = 0;
    for (const ModuleFacts& m : modules) n += m.lines.value_or(0);
    return n;
}

qint64 FileFacts::vbaProcedures() const {
    qint64 n = 0;
    for (const ModuleFacts& m : modules) n += m.procedures.size();
    return n;
}

int FileFacts::count(const QString& findingKind) const {
    int n = 0;
    for (const Finding& f : findings) n += f.kind == findingKind;
    return n;
}

namespace {

QJsonValue optional(const std::optional<qint64>& v) { return v ? QJsonValue(double(*v)) : QJsonValue(); }
std::optional<qint64> optional(const QJsonValue& v) {
    if (v.isNull() || v.isUndefined()) return std::nullopt;
    return qint64(v.toDouble());
}
qint64 number(const QJsonObject& o, const char* key) { return qint64(o.value(QLatin1String(key)).toDouble()); }
QString text(const QJsonObject& o, const char* key) { return o.value(QLatin1String(key)).toString(); }

QStringList strings(const QJsonValue& v) {
    QStringList list;
    for (const QJsonValue& s : v.toArray()) list << s.toString();
    return list;
}

}  // namespace

// Counts travel as JSON numbers (doubles, exact far beyond any count a file
// can have); sizes and times as decimal text, since a time in nanoseconds
// is past the 2^53 a double holds exactly.
QJsonObject toJson(const FileFacts& f) {
    QJsonArray modules;
    for (const ModuleFacts& m : f.modules)
        modules.append(QJsonObject{{"name", m.name}, {"type", m.type}, {"lines", optional(m.lines)},
                                   {"codeLines", optional(m.codeLines)},
                                   {"procedures", QJsonArray::fromStringList(m.procedures)},
                                   {"sha256", m.codeSha256}});
    QJsonArray findings;
    for (const Finding& x : f.findings)
        findings.append(QJsonArray{x.kind, x.place, x.name, x.target});
    const SheetCounts& s = f.sheets;
    return QJsonObject{
        {"path", f.path}, {"size", QString::number(f.size)}, {"mtime", QString::number(f.mtimeNs)}, {"kind", kindName(f.kind)},
        {"sha256", f.sha256}, {"format", f.format}, {"encrypted", f.encrypted},
        {"defaultPassword", f.defaultPassword}, {"vba", f.vba}, {"vbaLocked", f.vbaLocked},
        {"vbaError", f.vbaError},
        {"sheets", QJsonArray{s.worksheets, s.charts, s.macroSheets, s.dialogs, s.hidden, s.veryHidden,
                              double(s.usedCells), double(s.formulaCells), double(s.notes)}},
        {"names", f.definedNames}, {"links", f.externalLinks}, {"shapeMacros", f.shapesWithMacros},
        {"warnings", QJsonArray::fromStringList(f.warnings)}, {"readMs", double(f.readMs)},
        {"error", f.error}, {"errorDetail", f.errorDetail}, {"modules", modules}, {"findings", findings}};
}

FileFacts factsFromJson(const QJsonObject& o) {
    FileFacts f;
    f.path = text(o, "path");
    f.size = text(o, "size").toLongLong();
    f.mtimeNs = text(o, "mtime").toLongLong();
    const QString kind = text(o, "kind");
    f.kind = kind == u"workbook" ? FileKind::Workbook : kind == u"failed" ? FileKind::Failed : FileKind::Other;
    f.sha256 = text(o, "sha256");
    f.format = text(o, "format");
    f.encrypted = o.value("encrypted").toBool();
    f.defaultPassword = o.value("defaultPassword").toBool();
    f.vba = o.value("vba").toBool();
    f.vbaLocked = o.value("vbaLocked").toBool();
    f.vbaError = text(o, "vbaError");
    const QJsonArray s = o.value("sheets").toArray();
    const auto at = [&](int i) { return qint64(s.at(i).toDouble()); };
    f.sheets = {int(at(0)), int(at(1)), int(at(2)), int(at(3)), int(at(4)), int(at(5)), at(6), at(7), at(8)};
    f.definedNames = int(number(o, "names"));
    f.externalLinks = int(number(o, "links"));
    f.shapesWithMacros = int(number(o, "shapeMacros"));
    f.warnings = strings(o.value("warnings"));
    f.readMs = number(o, "readMs");
    f.error = text(o, "error");
    f.errorDetail = text(o, "errorDetail");
    for (const QJsonValue& v : o.value("modules").toArray()) {
        const QJsonObject m = v.toObject();
        f.modules.push_back({text(m, "name"), text(m, "type"), optional(m.value("lines")),
                             optional(m.value("codeLines")), strings(m.value("procedures")), text(m, "sha256")});
    }
    for (const QJsonValue& v : o.value("findings").toArray()) {
        const QJsonArray x = v.toArray();
        f.findings.push_back({x.at(0).toString(), x.at(1).toString(), x.at(2).toString(), x.at(3).toString()});
    }
    return f;
}

FileFacts failedFacts(const QString& path, qint64 size, qint64 mtimeNs, const QString& error,
                      const QString& detail) {
    FileFacts f;
    f.path = path;
    f.size = size;
    f.mtimeNs = mtimeNs;
    f.kind = FileKind::Failed;
    f.error = error;
    f.errorDetail = detail;
    return f;
}

}  // namespace tabulon::inventory
