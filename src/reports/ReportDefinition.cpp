#include "reports/ReportDefinition.h"

#include "common/Error.h"
#include "store/Database.h"

namespace tabulon::reports {

namespace {

// The number the old report engine gave an unknown report name.
constexpr int kNoSuchReport = 2103;

QString text(const QVariant& v) { return v.isNull() ? QString() : v.toString(); }

Align alignOf(const QVariant& v) {
    const QString a = text(v).trimmed().toUpper();
    if (a == QLatin1String("C")) return Align::Center;
    if (a == QLatin1String("R")) return Align::Right;
    return Align::Left;
}

LayoutKind kindOf(const QString& kind, const QString& name) {
    if (kind == QLatin1String("list")) return LayoutKind::List;
    if (kind == QLatin1String("source")) return LayoutKind::Source;
    if (kind == QLatin1String("free")) return LayoutKind::Free;
    throw Error(kNoSuchReport, QStringLiteral("レポート %1 の種類 %2 は使えません").arg(name, kind));
}

void loadColumns(store::Database& db, ReportDef& def) {
    const auto rows = db.query(QStringLiteral(
        "SELECT Caption, Field, Width, Align, Overflow, Format FROM Z_ReportColumn "
        "WHERE Report = ? ORDER BY Position"), {def.name});
    for (const auto& r : rows) {
        ColumnDef c;
        c.caption = text(r[0]);
        c.field = text(r[1]);
        c.weight = r[2].isNull() ? 10.0 : r[2].toDouble();
        c.align = alignOf(r[3]);
        c.wrap = text(r[4]) == QLatin1String("wrap");
        c.format = text(r[5]);
        def.columns.push_back(c);
    }
}

void loadFields(store::Database& db, ReportDef& def) {
    const auto rows = db.query(QStringLiteral(
        "SELECT Field, Caption, X, Y, W, H, FontPt, Bold, Align, Frame, Vertical "
        "FROM Z_ReportField WHERE Report = ? ORDER BY Position"), {def.name});
    for (const auto& r : rows) {
        FieldDef f;
        f.field = text(r[0]);
        f.caption = text(r[1]);
        f.x = r[2].toDouble();
        f.y = r[3].toDouble();
        f.w = r[4].toDouble();
        f.h = r[5].toDouble();
        f.fontPt = r[6].isNull() ? 10.0 : r[6].toDouble();
        f.bold = r[7].toInt() != 0;
        f.align = alignOf(r[8]);
        f.frame = r[9].toInt();
        f.vertical = r[10].toInt() != 0;
        def.fields.push_back(f);
    }
}

}  // namespace

ReportDef loadDefinition(store::Database& db, const QString& name) {
    const auto rows = db.query(QStringLiteral(
        "SELECT Name, Title, Kind, Orientation, SourceSql, GroupField, GroupCaption, "
        "SubGroupField, TextColumns, FontPt, PageFrame, LeadReport FROM Z_Report WHERE Name = ?"), {name});
    if (rows.empty())
        throw Error(kNoSuchReport, QStringLiteral("レポート %1 がありません").arg(name));
    const auto& r = rows.front();
    ReportDef def;
    def.name = text(r[0]);
    def.title = text(r[1]);
    def.kind = kindOf(text(r[2]), def.name);
    def.landscape = text(r[3]) == QLatin1String("landscape");
    def.sourceSql = text(r[4]);
    def.groupField = text(r[5]);
    def.groupCaption = text(r[6]);
    def.subGroupField = text(r[7]);
    def.textColumns = qBound(1, r[8].isNull() ? 1 : r[8].toInt(), 2);
    def.fontPt = r[9].isNull() ? 8.0 : r[9].toDouble();
    def.pageFrame = r[10].isNull() || r[10].toInt() != 0;
    def.leadReport = text(r[11]);
    loadColumns(db, def);
    loadFields(db, def);
    return def;
}

std::vector<QString> definitionNames(store::Database& db) {
    std::vector<QString> names;
    for (const auto& r : db.query(QStringLiteral("SELECT Name FROM Z_Report ORDER BY Name")))
        names.push_back(text(r[0]));
    return names;
}

}  // namespace tabulon::reports
