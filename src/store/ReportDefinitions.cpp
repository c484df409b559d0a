#include "store/ReportDefinitions.h"

#include "common/Error.h"
#include "store/Database.h"
#include "store/EmbeddedSql.h"

#include <QStringList>
#include <QTemporaryDir>

namespace tabulon::store {

namespace {

// Every definition row in a fixed order, as one text; empty when the tables
// cannot be read as the program's (missing, or of another shape).
QString fingerprint(Database& db) {
    QStringList out;
    try {
        for (const char* sql : {"SELECT * FROM Z_Report ORDER BY Name",
                                "SELECT * FROM Z_ReportColumn ORDER BY Report, Position",
                                "SELECT * FROM Z_ReportField ORDER BY Report, Position"}) {
            out << QString::fromLatin1(sql);
            for (const auto& row : db.query(QString::fromLatin1(sql))) {
                QStringList cells;
                for (const QVariant& v : row) cells << (v.isNull() ? QStringLiteral("\x01") : v.toString());
                out << cells.join(QChar(0x1F));
            }
        }
    } catch (const Error&) {
        return QString();
    }
    return out.join(QChar(0x1E));
}

}  // namespace

bool refreshReportDefinitions(Database& db) {
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("definitions.mdb"));
    Database::create(fresh);
    if (fingerprint(*Database::open(fresh)) == fingerprint(db)) return false;
    db.execute(QStringLiteral("DROP TABLE IF EXISTS Z_ReportField; DROP TABLE IF EXISTS Z_ReportColumn; "
                              "DROP TABLE IF EXISTS Z_Report;"));
    db.execute(QString::fromUtf8(reportDefinitionsSql()));
    db.commit();
    return true;
}

}  // namespace tabulon::store
