#include "inventory/Summary.h"

#include "common/Error.h"
#include "common/SafeFile.h"
#include "inventory/EmbeddedSql.h"
#include "inventory/EstateDb.h"
#include "reports/PdfOutput.h"
#include "reports/ReportDocument.h"
#include "store/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cerrno>
#include <sqlite3.h>

namespace tabulon::inventory {

namespace {

constexpr int kDotTimeoutMs = 120000;

[[noreturn]] void cannotWrite(const QString& path, int errorNumber) {
    throw Error(err::PathFileAccess, QStringLiteral("'%1' に書き込めません。\r理由: %2").arg(path, systemReason(errorNumber)));
}

reports::DocumentList loadDocuments(const QString& database) {
    QTemporaryDir scratch;
    if (!scratch.isValid()) cannotWrite(QDir::tempPath(), errno);
    const QString path = scratch.filePath(QStringLiteral("summary.mdb"));
    store::Database::create(path);
    auto db = store::Database::open(path);
    // Attached before the first write: SQLite attaches outside transactions only.
    const QString attach = QStringLiteral("ATTACH DATABASE '%1' AS estate").arg(QString(database).replace(u'\'', QStringLiteral("''")));
    if (sqlite3_exec(db->handle(), attach.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw Error(err::DbLocked, QStringLiteral("データベース '%1' を読めません。").arg(database));
    db->execute(QString::fromUtf8(reportDefinitionsSql()));
    db->execute(QStringLiteral("INSERT INTO T_XlTitle (FileName) VALUES ('資産目録　%1')")
                    .arg(QFileInfo(database).fileName().replace(u'\'', QStringLiteral("''"))));
    db->commit();
    reports::DocumentList documents;
    for (const QString& name : summaryReports()) documents.push_back(reports::ReportDocument::load(*db, name));
    return documents;
}

QString quoted(QString text) {
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + text + u'"';
}

QString fileName(const QString& path) { return path.section(u'/', -1).section(u'\\', -1); }

}  // namespace

QStringList summaryReports() {
    return {QStringLiteral("R_EstateTotals"), QStringLiteral("R_EstateFormats"), QStringLiteral("R_EstateAutorun"),
            QStringLiteral("R_EstateLocked"), QStringLiteral("R_EstateLinked"), QStringLiteral("R_EstateDupModules"),
            QStringLiteral("R_EstateFailures")};
}

QString linkGraphDot(sqlite3* db) {
    // Workbooks of the estate are solid boxes (red when a macro runs on its
    // own), targets outside it dashed; the label is the file name, the
    // tooltip the whole path.
    QString dot = QStringLiteral(
        "digraph estate {\n"
        "  graph [rankdir=LR, fontname=\"Noto Sans CJK JP\"];\n"
        "  node [shape=box, style=rounded, fontname=\"Noto Sans CJK JP\", fontsize=10];\n"
        "  edge [color=\"#555555\"];\n");
    QHash<QString, QString> ids;
    const auto node = [&](const QString& path, bool inEstate, bool autorun) {
        const auto known = ids.constFind(path);
        if (known != ids.constEnd()) return *known;
        const QString id = QStringLiteral("n%1").arg(ids.size() + 1);
        ids.insert(path, id);
        QString attributes = QStringLiteral("label=%1, tooltip=%2").arg(quoted(fileName(path)), quoted(path));
        if (!inEstate) attributes += QStringLiteral(", style=\"rounded,dashed\", color=gray, fontcolor=gray");
        else if (autorun) attributes += QStringLiteral(", color=red");
        dot += QStringLiteral("  %1 [%2];\n").arg(id, attributes);
        return id;
    };
    const QString sql = QStringLiteral(
        "SELECT f.path, COALESCE(t.path, l.target), t.id IS NOT NULL, COALESCE(f.autorun_macros, 0) > 0, "
        "COALESCE(t.autorun_macros, 0) > 0 "
        "FROM finding l JOIN file f ON f.id = l.file_id "
        "LEFT JOIN file t ON t.id = l.target_file_id AND t.vanished_at IS NULL "
        "WHERE l.kind = 'link' AND f.vanished_at IS NULL ORDER BY f.path, l.id");
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
        throw Error(err::DbLocked, QString::fromUtf8(sqlite3_errmsg(db)));
    QSet<QString> edges;
    const auto text = [&](int c) { return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))); };
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const QString from = node(text(0), true, sqlite3_column_int(stmt, 3));
        const QString to = node(text(1), sqlite3_column_int(stmt, 2), sqlite3_column_int(stmt, 4));
        const QString edge = QStringLiteral("  %1 -> %2;\n").arg(from, to);
        if (!edges.contains(edge)) {
            edges.insert(edge);
            dot += edge;
        }
    }
    sqlite3_finalize(stmt);
    return dot + QStringLiteral("}\n");
}

QStringList writeSummary(const QString& given, const QString& folder) {
    const QString database = QFileInfo(given).absoluteFilePath();
    const std::unique_ptr<EstateDb> estate = EstateDb::open(database, EstateDb::Access::Read);
    if (const int failed = makeFolders(folder)) cannotWrite(folder, failed);
    removeStaleParts(folder);  // of a summary that was killed
    const QDir out(folder);
    QStringList written;

    const QString pdf = out.filePath(QStringLiteral("estate-summary.pdf"));
    const reports::DocumentList documents = loadDocuments(database);
    reports::writeDocumentationPdf(documents, pdf, QStringLiteral("資産目録　%1").arg(QFileInfo(database).fileName()));
    written << pdf;

    const QString dotPath = out.filePath(QStringLiteral("estate-links.dot"));
    PartFile dotFile(dotPath);
    if (!dotFile.open(QIODevice::WriteOnly)) cannotWrite(dotPath, dotFile.errorNumber());
    dotFile.write(linkGraphDot(estate->handle()).toUtf8());
    if (!dotFile.commit()) cannotWrite(dotPath, dotFile.errorNumber());
    written << dotPath;

    const QString dotProgram = QStandardPaths::findExecutable(QStringLiteral("dot"));
    if (!dotProgram.isEmpty()) {
        const QString svg = out.filePath(QStringLiteral("estate-links.svg"));
        // Graphviz writes a part file beside the drawing, renamed when complete.
        const QString partial = partFileBeside(svg);
        const cleanup::Registration killed(partial);
        QProcess graphviz;
        graphviz.start(dotProgram, {QStringLiteral("-Tsvg"), dotPath, QStringLiteral("-o"), partial});
        const bool drawn = graphviz.waitForFinished(kDotTimeoutMs) && graphviz.exitStatus() == QProcess::NormalExit &&
                           graphviz.exitCode() == 0;
        if (!drawn) {
            graphviz.kill();
            graphviz.waitForFinished();
            QFile::remove(partial);
            throw Error(err::PathFileAccess,
                        QStringLiteral("リンク関係図の SVG を作成できませんでした（dot: %1）。DOT ファイルはできています: %2")
                            .arg(QString::fromLocal8Bit(graphviz.readAllStandardError()).trimmed(), dotPath));
        }
        if (const int failed = commitPart(partial, svg)) {
            QFile::remove(partial);
            cannotWrite(svg, failed);
        }
        written << svg;
    }
    return written;
}

}  // namespace tabulon::inventory
