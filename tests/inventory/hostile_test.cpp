// What a run survives: a reader that hangs or dies on a file (a stand-in
// worker that does so on cue), a file that needs more memory than a worker
// may take, a kill in the middle of the run, a second run on the same
// database, a database on a network file system. Each costs at most its file,
// which is recorded as failed, or stops with a message before anything is
// written.
#include "estate_support.h"
#include "inventory/EstateDb.h"
#include "inventory/WorkerPool.h"
#include "common/Error.h"

#include <QElapsedTimer>
#include <QThread>
#include <csignal>

namespace tabulon::test::inventory {
namespace {

namespace inv = tabulon::inventory;

// A worker that answers like ours (echoing the request, which reads as a
// file of no workbook), but hangs on files named "hang" and crashes on
// files named "crash".
QString standInWorker(const QTemporaryDir& dir) {
    const QString path = dir.filePath("worker.sh");
    QFile script(path);
    EXPECT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n"
                 "echo '{\"ready\":true}'\n"
                 "while IFS= read -r line; do\n"
                 "  case \"$line\" in\n"
                 "    *hang*) sleep 60 ;;\n"
                 "    *crash*) kill -SEGV $$ ;;\n"
                 "    *) printf '%s\\n' \"$line\" ;;\n"
                 "  esac\n"
                 "done\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    return path;
}

TEST(Hostile, AHangOrACrashCostsItsFileAndTheRunGoesOn) {
    QTemporaryDir dir;
    inv::WorkerPool pool({standInWorker(dir), 2, 1, 64});
    const std::vector<inv::WorkItem> items{{"/e/a.xls", 1, 1}, {"/e/hang.xls", 2, 2}, {"/e/b.xls", 3, 3},
                                           {"/e/crash.xls", 4, 4}, {"/e/c.xls", 5, 5}, {"/e/d.xls", 6, 6}};
    std::map<QString, inv::FileFacts> answers;
    QElapsedTimer clock;
    clock.start();
    pool.run(items, [&](inv::FileFacts&& f) { answers[f.path] = std::move(f); }, {});
    EXPECT_LT(clock.elapsed(), 20000) << "the hanging file holds the run no longer than its time limit";
    ASSERT_EQ(answers.size(), items.size()) << "every file answered once";
    EXPECT_EQ(answers["/e/hang.xls"].kind, inv::FileKind::Failed);
    EXPECT_TRUE(answers["/e/hang.xls"].error.contains("1 秒")) << answers["/e/hang.xls"].error.toStdString();
    EXPECT_EQ(answers["/e/crash.xls"].kind, inv::FileKind::Failed);
    EXPECT_TRUE(answers["/e/crash.xls"].errorDetail.startsWith("signal 11")) << answers["/e/crash.xls"].errorDetail.toStdString();
    EXPECT_EQ(answers["/e/crash.xls"].size, 4) << "a lost file keeps its size and time, so it is not read again unchanged";
    for (const char* ok : {"/e/a.xls", "/e/b.xls", "/e/c.xls", "/e/d.xls"})
        EXPECT_EQ(answers[ok].kind, inv::FileKind::Other) << ok;
    EXPECT_GE(pool.started(), 3) << "a fresh worker after a lost one while files remain";
}

TEST(Hostile, AWorkerThatCannotStartStopsTheRunInsteadOfFailingEveryFile) {
    EXPECT_THROW(inv::WorkerPool({"/bin/false", 1, 5, 64}).run({{"/e/a.xls", 1, 1}}, [](inv::FileFacts&&) {}, {}),
                 tabulon::Error);
}

TEST(Hostile, AFileBeyondTheMemoryLimitIsRecordedAsFailed) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit";
#endif
    QTemporaryDir dir;
    copy(QStringLiteral(TABULON_SOURCE_DIR "/examples/sample.xls"), dir.filePath("e/sample.xls"));
    const QString db = dir.filePath("e.sqlite");
    const Outcome run = tabulon({"inventory", dir.filePath("e"), "--db", db, "--memory", "1"});
    EXPECT_EQ(run.code, 1) << run.err.toStdString();
    EXPECT_EQ(value(db, "SELECT kind FROM file"), "failed");
    // Either the reader runs out of memory and says so, or the worker dies of it.
    EXPECT_TRUE(value(db, "SELECT error FROM file").contains("メモリ")) << value(db, "SELECT error FROM file").toStdString();
}

// Rows committed so far; 0 while the database is still being made.
int committed(const QString& db) {
    sqlite3* h = nullptr;
    int n = 0;
    if (sqlite3_open_v2(QFile::encodeName(db).constData(), &h, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(h, "SELECT COUNT(*) FROM file", -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
            n = sqlite3_column_int(s, 0);
        sqlite3_finalize(s);
    }
    sqlite3_close(h);
    return n;
}

TEST(Hostile, AKilledRunResumesWithoutLosingOrDoublingRows) {
    QTemporaryDir dir;
    const QString one = book(dir.filePath("one.xls"), [](xlsw::XlsWriter& w) {
        w.addSheet("S").number(0, 0, 1);
        w.addModule("Module1", xlsw::XlsModule::Standard, "Sub A()\r\nEnd Sub\r\n");
    });
    constexpr int kFiles = 600;
    for (int i = 0; i < kFiles; ++i) copy(one, dir.filePath(QStringLiteral("e/%1/b%2.xls").arg(i % 7).arg(i)));
    const QString db = dir.filePath("e.sqlite");
    QProcess first;
    first.start(kExecutable, {"inventory", dir.filePath("e"), "--db", db, "-j", "1"});
    ASSERT_TRUE(first.waitForStarted());
    // Killed once its first batch is in the database.
    QElapsedTimer clock;
    clock.start();
    while (first.state() == QProcess::Running && clock.elapsed() < 120000 && committed(db) == 0)
        QThread::msleep(20);
    ::kill(pid_t(first.processId()), SIGKILL);
    first.waitForFinished();
    const int before = value(db, "SELECT COUNT(*) FROM file").toInt();
    ASSERT_GT(before, 0);
    ASSERT_LT(before, kFiles) << "the run ended before it could be killed";
    EXPECT_TRUE(value(db, "SELECT finished FROM run").isEmpty());

    const Outcome second = tabulon({"inventory", dir.filePath("e"), "--db", db, "-j", "2"});
    ASSERT_EQ(second.code, 0) << second.err.toStdString();
    EXPECT_TRUE(second.out.contains(QStringLiteral("今回読んだもの %1、").arg(kFiles - before))) << second.out.toStdString();
    EXPECT_EQ(value(db, "SELECT COUNT(*) || ' ' || COUNT(DISTINCT path) || ' ' || SUM(kind = 'workbook') FROM file"),
              QStringLiteral("%1 %1 %1").arg(kFiles));
    EXPECT_EQ(value(db, "SELECT COUNT(*) FROM module"), QString::number(kFiles)) << "no module row doubled or lost";
    EXPECT_EQ(value(db, "SELECT COUNT(*) FROM procedure"), QString::number(kFiles));
}

TEST(Hostile, ASecondRunOnTheSameDatabaseStopsWithAMessage) {
    QTemporaryDir dir;
    const QString db = dir.filePath("e.sqlite");
    const auto running = inv::EstateDb::open(db, inv::EstateDb::Access::Write);
    const Outcome second = tabulon({"inventory", dir.path(), "--db", db});
    EXPECT_EQ(second.code, 2);
    EXPECT_TRUE(second.err.contains("別の inventory が使用中")) << second.err.toStdString();
}

TEST(Hostile, AForeignDatabaseIsRefusedAndLeftAsItWas) {
    QTemporaryDir dir;
    const QString foreign = dir.filePath("other.sqlite");
    sqlite3* h = nullptr;
    sqlite3_open(QFile::encodeName(foreign).constData(), &h);
    sqlite3_exec(h, "PRAGMA journal_mode = WAL; CREATE TABLE t (x); INSERT INTO t VALUES (1);", nullptr, nullptr, nullptr);
    sqlite3_close(h);
    QFile f(foreign);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    f.close();
    for (const QStringList& args : {QStringList{"inventory", dir.path(), "--db", foreign},
                                    QStringList{"inventory", "--merge", foreign, "--db", dir.filePath("m.sqlite")},
                                    QStringList{"inventory", "--report", foreign, "-o", dir.filePath("out")}}) {
        const Outcome run = tabulon(args);
        EXPECT_EQ(run.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("資産目録（inventory）のデータベースではありません")) << run.err.toStdString();
    }
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);
}

}  // namespace
}  // namespace tabulon::test::inventory
