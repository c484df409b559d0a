// Commands that only read a file never change it: `tabulon report --db` on a
// results file with an interrupted write beside it, or on another program's
// database in write-ahead-log mode, leaves every byte of the file and of its
// side files as it was.
#include "cli_support.h"
#include "store/Database.h"
#include "store/ResultsFile.h"

#include <QDir>
#include <gtest/gtest.h>
#include <map>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tabulon::test::cli {
namespace {

// Runs `sql` on `file` in a child process that ends without closing the
// database, as a program killed in the middle of its work: what it left
// uncommitted stays in a journal or log beside the file.
void interruptedWriter(const QString& file, const char* sql) {
    const QByteArray path = file.toUtf8();
    const pid_t child = ::fork();
    if (child == 0) {
        sqlite3* db = nullptr;
        sqlite3_open(path.constData(), &db);
        sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

// Every file of `file`'s family (the file, -journal, -wal, -shm) with its bytes.
std::map<QString, QByteArray> family(const QString& file) {
    std::map<QString, QByteArray> bytes;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        QFile f(file + QLatin1String(suffix));
        if (f.open(QIODevice::ReadOnly)) bytes[f.fileName()] = f.readAll();
    }
    return bytes;
}

using ReadOnly = CommandTest;

TEST_F(ReadOnly, ReportOnAResultsFileWithAJournalPrintsWhatWasCommittedAndChangesNothing) {
    const QString live = dir.filePath("Tabulon2.mdb"), results = dir.filePath("結果.xdb");
    store::Database::create(live);
    {
        auto db = store::Database::open(live);
        db->execute(QStringLiteral("INSERT INTO T_XlName (LabelName, StCell) VALUES ('確定した名前', '$A$1')"));
        db->commit();
        store::writeResultsFile(*db, results);
    }
    // A writer that spilled pages into the file and died before its commit.
    interruptedWriter(results, "PRAGMA cache_size=2; BEGIN; DELETE FROM T_XlName;"
                               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                               "INSERT INTO T_XlName (LabelName, SheetMei) SELECT '途中の名前', printf('%0200d', i) FROM n;");
    const auto before = family(results);
    ASSERT_TRUE(before.count(results + "-journal")) << "no journal left beside the file";

    const QString pdf = dir.filePath("names.pdf");
    ASSERT_EQ(run("report", {"R_XlName", "--db", results, "--pdf", pdf}), 0) << err.toStdString();
    const QString text = pdfText(pdf);
    EXPECT_TRUE(text.contains("確定した名前")) << text.toStdString();
    EXPECT_FALSE(text.contains("途中の名前"));
    EXPECT_TRUE(family(results) == before) << "the file or its journal changed";
}

TEST_F(ReadOnly, ReportRefusesAnotherProgramsDatabaseInLogModeWithoutTouchingIt) {
    const QString foreign = dir.filePath("other.db");
    interruptedWriter(foreign, "PRAGMA application_id=1234; PRAGMA journal_mode=WAL;"
                               "CREATE TABLE notes(x); INSERT INTO notes VALUES ('kept in the log');");
    const auto before = family(foreign);
    ASSERT_TRUE(before.count(foreign + "-wal")) << "no log left beside the file";

    const QString pdf = dir.filePath("r.pdf");
    EXPECT_EQ(run("report", {"R_XlName", "--db", foreign, "--pdf", pdf}), 1);
    EXPECT_TRUE(err.contains("解析結果ファイル(.xdb)ではありません")) << err.toStdString();
    EXPECT_TRUE(family(foreign) == before) << "the database or its log changed";
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ReadOnly, AFileThatCannotBeReadSaysWhy) {
    const QString pdf = dir.filePath("r.pdf");
    EXPECT_EQ(run("report", {"R_XlName", "--db", dir.path(), "--pdf", pdf}), 1);
    EXPECT_TRUE(err.contains("はフォルダです")) << err.toStdString();
    const QString locked = dir.filePath("locked.xdb");
    QFile f(locked);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    f.setPermissions(QFileDevice::Permissions{});
    if (::access(locked.toUtf8().constData(), R_OK) == 0) GTEST_SKIP() << "running as a user who reads every file";
    EXPECT_EQ(run("report", {"R_XlName", "--db", locked, "--pdf", pdf}), 1);
    EXPECT_TRUE(err.contains("を読み込めません") && err.contains("アクセスの権限がありません")) << err.toStdString();
}

}  // namespace
}  // namespace tabulon::test::cli
