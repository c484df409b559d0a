// Opening the analysis database and results files: what is accepted, what is
// refused and why, and that a failed save or a load never changes a file the
// user already has.
#include "StoreTestSupport.h"

#include "common/SafeFile.h"
#include "store/ResultsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <csignal>
#include <sys/resource.h>

namespace tabulon::store::test {
namespace {

class ResultsFileTest : public StoreTest {
protected:
    static QByteArray bytesOf(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeBytes(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // The one marker row of the save flags, not yet committed.
    static void mark(Database& db, const QString& marker) {
        db.clearTable(QStringLiteral("T_XlSaveFlag"));
        auto t = db.openTable(QStringLiteral("T_XlSaveFlag"));
        t->addNew();
        t->set(QStringLiteral("Title"), marker);
        t->update();
    }
    static QString markerOf(const QString& file) {
        const auto rows = Database::open(file)->query(QStringLiteral("SELECT Title FROM T_XlSaveFlag"));
        return rows.size() == 1 ? rows[0][0].toString() : QString();
    }
    // A results file as the save command writes it.
    QString saved(const QString& name) {
        const QString out = filePath(name);
        writeResultsFile(*Database::open(path()), out);
        return out;
    }
    // Raw SQL on a file through a connection of its own.
    static void sql(const QString& file, const char* statements) {
        sqlite3* db = nullptr;
        sqlite3_open(file.toUtf8().constData(), &db);
        sqlite3_exec(db, statements, nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    ResultsKind refusal(const QString& file) {
        try {
            openWorkingCopy(file, filePath(QStringLiteral("work.xdb")));
        } catch (const ResultsRefused& e) {
            EXPECT_TRUE(e.description().contains(file)) << e.description().toStdString();
            if (e.kind() == ResultsKind::Newer) {  // the version is named
                EXPECT_TRUE(e.description().contains(QStringLiteral("形式バージョン 7")));
            }
            EXPECT_FALSE(QFile::exists(filePath(QStringLiteral("work.xdb"))));
            return e.kind();
        }
        return ResultsKind::Current;
    }
};

// The copy holds the running command's rows and replaces an earlier copy.
TEST_F(ResultsFileTest, CopyHoldsPendingRowsAndReplacesAnOlderFile) {
    auto db = Database::open(path());
    CommandScope scope(*db);
    const QString result = filePath(QStringLiteral("result.xdb"));
    for (const QString& title : {QStringLiteral("first"), QStringLiteral("販売管理")}) {
        mark(*db, title);
        db->copyTo(result);
        EXPECT_EQ(markerOf(result), title);
    }
    EXPECT_FALSE(QFile::exists(result + QStringLiteral(".part")));
}

TEST_F(ResultsFileTest, OpenAndCreateRefusalsCarryTheirNumbers) {
    EXPECT_EQ(errorNumberOf([&] { Database::create(path()); }), 3204) << "create over an existing file";
    writeBytes(filePath("text.mdb"), "this is not a database\r\n");
    writeBytes(filePath("empty.mdb"), "");
    sql(filePath("other.sqlite"), "CREATE TABLE T_XlTitle (FileName TEXT)");
    // A database of another program, without the analysis tables, is foreign too; so is a folder.
    const std::pair<const char*, int> opens[] = {
        {"absent.mdb", 3024}, {"text.mdb", 3051}, {"empty.mdb", 3051}, {"other.sqlite", 3051}, {"", 3051},
    };
    for (const auto& [name, number] : opens)
        EXPECT_EQ(errorNumberOf([&] { Database::open(filePath(QString::fromLatin1(name))); }), number) << name;
}

TEST_F(ResultsFileTest, FilesThatAreNoResultsFileAreRefusedByKind) {
    writeBytes(filePath("text.xdb"), "Title=販売管理\r\n");
    writeBytes(filePath("short.xdb"), QByteArray("SQLite format 3\0", 16));
    // The first page of a Jet 4 database: a page id, then its signature.
    writeBytes(filePath("jet.xdb"), QByteArray("\0\1\0\0Standard Jet DB\0", 20) + QByteArray(2028, '\0'));
    sql(filePath("other.xdb"), "CREATE TABLE notes(x); PRAGMA application_id=1234;");
    sql(filePath("plain.xdb"), "CREATE TABLE notes(x);");
    const QString newer = saved(QStringLiteral("newer.xdb"));
    sql(newer, "PRAGMA user_version=7;");
    const QString cut = saved(QStringLiteral("cut.xdb"));
    QFile::resize(cut, QFileInfo(cut).size() / 2);

    const std::pair<const char*, ResultsKind> cases[] = {
        {"text.xdb", ResultsKind::NotSqlite}, {"short.xdb", ResultsKind::NotSqlite},
        {"jet.xdb", ResultsKind::Jet},        {"other.xdb", ResultsKind::Foreign},
        {"plain.xdb", ResultsKind::Foreign},  {"newer.xdb", ResultsKind::Newer},
        {"cut.xdb", ResultsKind::Damaged},
    };
    for (const auto& [name, kind] : cases)
        EXPECT_EQ(refusal(filePath(name)), kind) << name;
}

TEST_F(ResultsFileTest, OlderFileGetsTheTablesItLacksEmpty) {
    // A file of the first builds: no id, no version, and no citation table.
    const QString old = saved(QStringLiteral("old.xdb"));
    sql(old, "DROP TABLE T_XlLinkModule; DROP TABLE T_XlModStep; PRAGMA application_id=0; PRAGMA user_version=0;");
    const QByteArray before = bytesOf(old);
    EXPECT_EQ(readResultsHeader(old).kind, ResultsKind::Older);

    const WorkingCopy copy = openWorkingCopy(old, filePath("work.xdb"));
    EXPECT_EQ(QSet<QString>(copy.addedTables.begin(), copy.addedTables.end()),
              (QSet<QString>{"T_XlLinkModule", "T_XlModStep"}));
    auto opened = Database::open(copy.path);  // refused without every analysis table
    EXPECT_EQ(opened->query(QStringLiteral("SELECT count(*) FROM T_XlLinkModule"))[0][0].toInt(), 0);
    EXPECT_EQ(readResultsHeader(copy.path).kind, ResultsKind::Current);
    EXPECT_EQ(bytesOf(old), before);
}

TEST_F(ResultsFileTest, FullDiskKeepsTheOldFileAndLeavesNoPart) {
    const QString file = saved(QStringLiteral("r.xdb"));
    const QByteArray before = bytesOf(file);
    // Fill the analysis database well past the size limit set below.
    auto db = Database::open(path());
    {
        CommandScope scope(*db);
        auto t = db->openTable(QStringLiteral("T_XlCalc"));
        for (int i = 0; i < 4000; ++i) {
            t->addNew();
            t->set(QStringLiteral("CalcName"), QString(200, QChar(u'式')));
            t->update();
        }
    }
    // A file-size limit stands for the full disk: writes past it fail.
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tight = old;
    tight.rlim_cur = 256 * 1024;
    setrlimit(RLIMIT_FSIZE, &tight);
    const int number = errorNumberOf([&] { writeResultsFile(*db, file); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(number, 75);
    EXPECT_EQ(bytesOf(file), before);
    const QStringList left = QDir(filePath(".")).entryList({"*.part*"}, QDir::Files | QDir::Hidden);
    EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
}

TEST_F(ResultsFileTest, NamesUpToTheLongestSaveAndPartsOfEndedRunsGo) {
    // 255 bytes is the longest name a folder holds; a part file named after
    // the target would not fit.
    for (const QString& name : {QString(250, u'a') + ".xdb", QString(83, u'結') + ".xdb"}) {
        ASSERT_EQ(name.toUtf8().size() <= 255, true);
        const QString file = saved(name);
        EXPECT_EQ(readResultsHeader(file).kind, ResultsKind::Current) << name.toUtf8().size() << " bytes";
    }
    // Part files beside a target: this live process's, one of a process that
    // has ended, one of an earlier version whose process has ended, and a
    // file that only looks alike.
    const QString live = partFileBeside(filePath("r.xdb"));
    const QString prefix = QFileInfo(live).fileName().section(u'-', 0, 1);
    const QStringList ended{prefix + "-999999999-1-1.part", prefix + "-999999999-1-1.part-journal",
                            ".r.xdb.999999999.part"};
    for (const QString& name : QStringList{QFileInfo(live).fileName(), ".notes.part"} + ended)
        writeBytes(filePath(name), "part");
    saved(QStringLiteral("r.xdb"));
    for (const QString& name : ended) EXPECT_FALSE(QFile::exists(filePath(name))) << name.toStdString();
    EXPECT_TRUE(QFile::exists(live)) << "a live run's part file was removed";
    EXPECT_TRUE(QFile::exists(filePath(".notes.part")));
}

}  // namespace
}  // namespace tabulon::store::test
