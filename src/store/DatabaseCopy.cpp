#include "store/Database.h"

#include "host/Error.h"

#include <QFile>
#include <filesystem>
#include <sqlite3.h>
#include <system_error>

namespace tabulon::store {

namespace {

Error copyFailed(const QString& destination, const QString& reason) {
    return Error(tabulon::err::PathFileAccess,
                 QStringLiteral("'%1' に保存できません。(%2)").arg(destination, reason));
}

// The engine's online backup: page by page from the open connection, so the
// copy is consistent even though this process keeps the file open.
void backupInto(sqlite3* source, const QString& target) {
    sqlite3* out = nullptr;
    int rc = sqlite3_open_v2(target.toUtf8().constData(), &out,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup* backup = sqlite3_backup_init(out, "main", source, "main");
        if (!backup) {
            rc = sqlite3_errcode(out);
        } else {
            rc = sqlite3_backup_step(backup, -1);
            sqlite3_backup_finish(backup);
            if (rc == SQLITE_DONE)
                rc = SQLITE_OK;
        }
    }
    const QString reason = QString::fromUtf8(out ? sqlite3_errmsg(out) : sqlite3_errstr(rc));
    sqlite3_close_v2(out);
    if (rc != SQLITE_OK)
        throw copyFailed(target, reason);
}

}  // namespace

void Database::copyTo(const QString& destination) {
    commit();
    const QString part = destination + QStringLiteral(".part");
    QFile::remove(part);
    try {
        backupInto(db_, part);
    } catch (...) {
        QFile::remove(part);
        throw;
    }
    std::error_code ec;
    std::filesystem::rename(part.toStdString(), destination.toStdString(), ec);
    if (ec) {
        QFile::remove(part);
        throw copyFailed(destination, QString::fromStdString(ec.message()));
    }
}

}  // namespace tabulon::store
