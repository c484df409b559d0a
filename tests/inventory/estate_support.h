#pragma once
// Helpers of the inventory tests: the tabulon executable run as a user runs
// it, the rows of an estate database, and crafted workbooks.
#include "support/TestSupport.h"
#include "xlswriter/XlsWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tabulon::test::inventory {

struct Outcome {
    int code = -1;
    QString out, err;
};

inline const QString kExecutable = QStringLiteral(TABULON_EXECUTABLE);

// `tabulon ARGS`, or `PREFIX... tabulon ARGS` (setpriv for a reduced root).
inline Outcome tabulon(const QStringList& args, const QStringList& prefix = {}, int timeoutMs = 600000) {
    QProcess p;
    QStringList all = prefix;
    all << kExecutable << args;
    p.start(all.takeFirst(), all);
    p.waitForFinished(timeoutMs);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// The rows of a query, every value as text ("" for NULL).
inline std::vector<QStringList> rows(const QString& db, const QString& sql) {
    std::vector<QStringList> out;
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(db).constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(h);
        ADD_FAILURE() << "cannot open " << db.toStdString();
        return out;
    }
    sqlite3_busy_timeout(h, 5000);
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(h, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(h) << " in " << sql.toStdString();
    } else {
        while (sqlite3_step(s) == SQLITE_ROW) {
            QStringList row;
            for (int c = 0; c < sqlite3_column_count(s); ++c)
                row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, c)));
            out.push_back(row);
        }
    }
    sqlite3_finalize(s);
    sqlite3_close(h);
    return out;
}

inline QString value(const QString& db, const QString& sql) {
    const auto r = rows(db, sql);
    return r.empty() ? QString() : r.front().value(0);
}

inline QString book(const QString& path, const std::function<void(xlsw::XlsWriter&)>& fill) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    xlsw::XlsWriter w;
    fill(w);
    EXPECT_TRUE(w.save(path)) << path.toStdString();
    return path;
}

inline void copy(const QString& from, const QString& to) {
    QDir().mkpath(QFileInfo(to).absolutePath());
    EXPECT_TRUE(QFile::copy(from, to)) << from.toStdString() << " -> " << to.toStdString();
}

}  // namespace tabulon::test::inventory
