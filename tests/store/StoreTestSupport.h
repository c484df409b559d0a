#pragma once
// A fresh analysis database in a temporary folder for each test.
#include "common/Error.h"
#include "store/Database.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <sqlite3.h>

namespace tabulon::store::test {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("Tabulon2.mdb"));
        Database::create(path_);
    }
    QString path() const { return path_; }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    // Rows of sql as seen by an independent connection: what another process
    // (the report engine, a copy of the file) would find committed.
    long long countFromOutside(const QString& table) const {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path_.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* stmt = nullptr;
        const QByteArray sql = "SELECT count(*) FROM \"" + table.toUtf8() + "\"";
        long long n = -1;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            n = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return n;
    }

private:
    QTemporaryDir dir_;
    QString path_;
};

// The error number that f throws, or 0 when it throws nothing.
inline int errorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

}  // namespace tabulon::store::test
