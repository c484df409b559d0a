// `tabulon inventory` over a crafted estate, run as a user runs it: the rows
// of every kind of file it meets, the second run that reads only what changed,
// a run killed halfway and resumed, shards merged (by hand and by GNU
// parallel) equal to one run, and the summary a person reads.
#include "estate_support.h"

#include <QStandardPaths>
#include <QThread>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tabulon::test::inventory {
namespace {

using xlsw::Rgce;
using xlsw::XlsModule;
using xlsw::XlsWriter;

const QString kTools = QStringLiteral("Sub Sum3(a, b, c)\r\n    Sum3 = a + b + c\r\nEnd Sub\r\n\r\n"
                                      "Public Function Twice(x)\r\n    Twice = 2 * x\r\nEnd Function\r\n");

// Every row of the file, module, procedure and finding tables, by path, but
// the time a read took, when and in which run.
void expectSameEstate(const QString& a, const QString& b) {
    const QString files = "SELECT path, size, mtime, kind, sha256, format, encrypted, default_password, vba, vba_locked, "
                          "vba_error, worksheets, chart_sheets, macro_sheets, dialog_sheets, hidden_sheets, "
                          "very_hidden_sheets, used_cells, formula_cells, notes, defined_names, external_links, "
                          "shapes_with_macros, vba_modules, vba_lines, vba_procedures, autorun_macros, warnings, "
                          "warning_text, error, error_detail, vanished_at FROM file ORDER BY path";
    const QString modules = "SELECT f.path, m.position, m.name, m.type, m.lines, m.code_lines, m.procedures, "
                            "m.code_sha256 FROM module m JOIN file f ON f.id = m.file_id ORDER BY 1, 2";
    const QString procedures = "SELECT f.path, p.module_position, p.position, p.name FROM procedure p "
                               "JOIN file f ON f.id = p.file_id ORDER BY 1, 2, 3";
    const QString findings = "SELECT f.path, x.kind, x.place, x.name, x.target, t.path, x.resolved_by FROM finding x "
                             "JOIN file f ON f.id = x.file_id LEFT JOIN file t ON t.id = x.target_file_id "
                             "ORDER BY 1, x.id";
    for (const QString& sql : {files, modules, procedures, findings}) {
        const auto left = rows(a, sql), right = rows(b, sql);
        EXPECT_FALSE(left.empty()) << sql.toStdString();
        EXPECT_EQ(left, right) << sql.toStdString();
    }
}

// The estate of the tests: nested folders, two workbooks that link to each
// other, one module copied into two workbooks, macros that run on opening, a
// truncated and an encrypted workbook, a loop of symbolic links, a folder
// that cannot be read, files that are no workbooks.
struct CraftedEstate : ::testing::Test {
    QTemporaryDir dir;
    QString root = dir.filePath("share");
    QString db = dir.filePath("estate.sqlite");

    QString at(const QString& relative) const { return root + "/" + relative; }

    void SetUp() override {
        book(at("books/a/Links1.xls"), [](XlsWriter& w) {
            auto& s = w.addSheet("Data");
            const int other = w.addExternalSheet("..\\b\\Links2.xls", "Data");
            s.formula(0, 0, Rgce().ref3d(other, 0, 0));
            s.button(2, 2, "Outcome", "Module1.Go");
            w.addModule("Module1", XlsModule::Standard, "Sub Go()\r\nEnd Sub\r\n");
        });
        book(at("books/b/Links2.xls"), [](XlsWriter& w) {
            auto& s = w.addSheet("Data");
            const int other = w.addExternalSheet("..\\a\\Links1.xls", "Data");
            s.formula(0, 0, Rgce().ref3d(other, 0, 0));
            s.number(1, 0, 2);
        });
        book(at("books/a/deep/er/Tools1.xls"), [](XlsWriter& w) {
            w.addSheet("Calc").formula(0, 0, Rgce().integer(1).integer(2).op(0x03));
            w.addSheet("Hidden").visibility = 1;
            w.addModule("Tools", XlsModule::Standard, kTools);
            w.addModule("Starter", XlsModule::Standard, "Sub Auto_Open()\r\n    MsgBox 1\r\nEnd Sub\r\n");
            w.addModule("ThisWorkbook", XlsModule::Document, "Private Sub Workbook_Open()\r\nEnd Sub\r\n");
        });
        book(at("books/b/Tools2.xls"), [](XlsWriter& w) {
            w.addSheet("Other").note(0, 0, "me", "a note");
            w.addModule("Helpers", XlsModule::Standard, kTools);  // the same code under another name
        });
        QFile whole(at("books/a/deep/er/Tools1.xls"));
        ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
        QFile cut(at("books/broken.xls"));
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(whole.read(whole.size() / 2));
        cut.close();
        copy(fixture("xls/oletools/encrypted.xls"), at("books/encrypted.xls"));
        write(at("books/notes.txt"), "not a workbook\n");
        write(at("books/fake.xlsx"), QByteArray("PK\x03\x04", 4) + QByteArray(60, 'x'));
        write(at("books/fake.zip"), QByteArray("PK\x03\x04", 4) + QByteArray(60, 'x'));
        ASSERT_EQ(::symlink("..", QFile::encodeName(at("books/a/loop")).constData()), 0);
        ASSERT_EQ(::symlink("/usr/share", QFile::encodeName(at("books/outside")).constData()), 0);
        book(at("books/secret/Hidden.xls"), [](XlsWriter& w) { w.addSheet("S"); });
        QFile::setPermissions(at("books/secret"), QFileDevice::Permissions());
    }
    void TearDown() override {
        QFile::setPermissions(at("books/secret"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Root may read any folder; without the capabilities that let it, the
    // folder is as unreadable to it as to anyone.
    static QStringList unprivileged() {
        if (::geteuid() != 0) return {};
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (setpriv.isEmpty()) return {};
        return {setpriv, "--bounding-set=-dac_override,-dac_read_search", "--"};
    }

    // Every run of a test sees the estate alike: without the right to read
    // the unreadable folder.
    Outcome as(const QStringList& args) { return tabulon(args, unprivileged()); }
    Outcome inventory(const QStringList& extra = {}) {
        return as(QStringList{"inventory", root, "--db", db, "-j", "2"} + extra);
    }

    QStringList files() {
        QStringList out;
        for (const QStringList& r : rows(db, "SELECT path FROM inventory_files ORDER BY path")) out << r[0].mid(root.size() + 1);
        return out;
    }
};

TEST_F(CraftedEstate, EveryWorkbookOnceWithItsFactsAndEveryFailureWithItsReason) {
    const Outcome run = inventory();
    ASSERT_EQ(run.code, 1) << run.err.toStdString();  // done, with workbooks that could not be read
    // By content: the text and the zip not named as a workbook are no rows of
    // the view; the loop and the link out of the roots are not followed; the
    // unreadable folder's workbook is not there.
    EXPECT_EQ(files(), (QStringList{"books/a/Links1.xls", "books/a/deep/er/Tools1.xls", "books/b/Links2.xls",
                                    "books/b/Tools2.xls", "books/broken.xls", "books/encrypted.xls", "books/fake.xlsx"}));
    EXPECT_EQ(value(db, "SELECT COUNT(*) FROM file WHERE path LIKE '%/usr/share%' OR path LIKE '%/loop/%'"), "0");
    EXPECT_EQ(value(db, "SELECT kind FROM file WHERE path LIKE '%notes.txt'"), "other");
    EXPECT_EQ(value(db, "SELECT reason LIKE 'フォルダを開けません%' FROM walk_problem WHERE path LIKE '%/secret'"), "1")
        << "the unreadable folder is reported";

    const auto tools = rows(db, "SELECT sheets, formula_cells, vba_modules, autorun_macros, format, error IS NULL, "
                                "length(sha256) FROM inventory_files WHERE path LIKE '%Tools1.xls'");
    ASSERT_EQ(tools.size(), 1u);
    EXPECT_EQ(tools[0], (QStringList{"2", "1", "3", "2", "BIFF8", "1", "64"}));
    EXPECT_EQ(value(db, "SELECT hidden_sheets FROM file WHERE path LIKE '%Tools1.xls'"), "1");
    EXPECT_EQ(rows(db, "SELECT x.place, x.name, x.target FROM finding x JOIN file f ON f.id = x.file_id "
                       "WHERE x.kind = 'autorun' AND f.path LIKE '%Tools1.xls' ORDER BY x.place"),
              (std::vector<QStringList>{{"Starter", "Auto_Open", "open"}, {"ThisWorkbook", "Workbook_Open", "open"}}));
    // The copied module is seen as one code in two workbooks.
    EXPECT_EQ(value(db, "SELECT COUNT(DISTINCT file_id) FROM module WHERE code_sha256 = "
                        "(SELECT code_sha256 FROM module WHERE name = 'Tools')"), "2");
    EXPECT_EQ(value(db, "SELECT group_concat(p.name, ',') FROM procedure p JOIN module m ON m.file_id = p.file_id "
                        "AND m.position = p.module_position WHERE m.name = 'Helpers'"), "Sum3,Twice");
    // The two workbooks that link to each other, resolved inside the estate.
    EXPECT_EQ(rows(db, "SELECT substr(from_path, length('" + root + "') + 2), substr(to_path, length('" + root +
                           "') + 2), to_found FROM inventory_links ORDER BY from_path"),
              (std::vector<QStringList>{{"books/a/Links1.xls", "books/b/Links2.xls", "1"},
                                        {"books/b/Links2.xls", "books/a/Links1.xls", "1"}}));
    EXPECT_EQ(rows(db, "SELECT place, name, target FROM finding WHERE kind = 'shape_macro'"),
              (std::vector<QStringList>{{"Data", "Button 1", "Module1.Go"}}));
    // Failures keep their reason, in Japanese, and cost no counts.
    for (const char* name : {"broken.xls", "encrypted.xls", "fake.xlsx"}) {
        const auto failed = rows(db, QStringLiteral("SELECT error, sheets FROM inventory_files WHERE path LIKE '%/%1'").arg(name));
        ASSERT_EQ(failed.size(), 1u) << name;
        EXPECT_FALSE(failed[0][0].isEmpty()) << name;
        EXPECT_TRUE(failed[0][1].isEmpty()) << name;
    }
    EXPECT_EQ(value(db, "SELECT encrypted FROM file WHERE path LIKE '%encrypted.xls'"), "1");
    EXPECT_TRUE(run.out.contains("完了: ファイル")) << run.out.toStdString();
}

TEST_F(CraftedEstate, ASecondRunReadsOnlyWhatChangedAndMarksWhatIsGone) {
    ASSERT_EQ(inventory().code, 1);
    const QString firstIds = value(db, "SELECT group_concat(id) FROM file ORDER BY id");
    const Outcome again = inventory();
    EXPECT_EQ(again.code, 1) << "the failures are still there";
    EXPECT_TRUE(again.out.contains("今回読んだもの 0、")) << again.out.toStdString();
    EXPECT_EQ(value(db, "SELECT group_concat(id) FROM file ORDER BY id"), firstIds);

    book(at("books/b/Links2.xls"), [](XlsWriter& w) { w.addSheet("Data").number(0, 0, 3); });  // changed, link gone
    ASSERT_TRUE(QFile::remove(at("books/b/Tools2.xls")));
    const Outcome third = inventory();
    EXPECT_TRUE(third.out.contains("今回読んだもの 1、")) << third.out.toStdString();
    EXPECT_TRUE(third.out.contains("なくなったもの 1")) << third.out.toStdString();
    EXPECT_FALSE(files().contains("books/b/Tools2.xls"));
    EXPECT_FALSE(value(db, "SELECT vanished_at FROM file WHERE path LIKE '%Tools2.xls'").isEmpty());
    EXPECT_EQ(value(db, "SELECT COUNT(*) FROM inventory_links"), "1");
    // The link to the rewritten workbook still finds it: its row kept its id.
    EXPECT_EQ(value(db, "SELECT to_found FROM inventory_links"), "1");
}

TEST_F(CraftedEstate, ShardsMergedAndAGnuParallelRunEqualOneRunRowForRow) {
    ASSERT_EQ(inventory().code, 1);
    const Outcome list = as({"inventory", "--list", root});
    ASSERT_EQ(list.code, 0) << list.err.toStdString();
    const QString listFile = dir.filePath("files.txt");
    CraftedEstate::write(listFile, list.out.toUtf8());
    QStringList parts;
    for (int k = 1; k <= 3; ++k) {
        const QString part = dir.filePath(QStringLiteral("part-%1.sqlite").arg(k));
        const Outcome shard = as({"inventory", "--files", listFile, "--shard", QStringLiteral("%1/3").arg(k), "--db", part});
        ASSERT_LE(shard.code, 1) << shard.err.toStdString();
        EXPECT_FALSE(QFile::exists(part + ".partial")) << "the working name is gone once published";
        parts << part;
    }
    const QString merged = dir.filePath("merged.sqlite");
    const Outcome merge = tabulon(QStringList{"inventory", "--merge"} + parts + QStringList{"--db", merged});
    ASSERT_EQ(merge.code, 0) << merge.err.toStdString();
    expectSameEstate(db, merged);

    const QString parallel = QStandardPaths::findExecutable("parallel");
    if (parallel.isEmpty()) GTEST_SKIP() << "GNU parallel is not installed (scripts/deps installs it)";
    QProcess p;
    p.setWorkingDirectory(dir.path());
    QStringList command = unprivileged();
    command << parallel << "-j" << "3" << kExecutable << "inventory" << "--files" << listFile << "--shard" << "{}/3"
            << "--db" << "gnu-{}.sqlite" << ":::" << "1" << "2" << "3";
    p.start(command.takeFirst(), command);
    ASSERT_TRUE(p.waitForFinished(600000));
    EXPECT_LE(p.exitCode(), 3) << p.readAllStandardError().toStdString();  // parallel counts the shards that exited 1
    const QString gnu = dir.filePath("gnu.sqlite");
    ASSERT_EQ(tabulon({"inventory", "--merge", dir.filePath("gnu-1.sqlite"), dir.filePath("gnu-2.sqlite"),
                       dir.filePath("gnu-3.sqlite"), "--db", gnu}).code, 0);
    expectSameEstate(db, gnu);
}

TEST_F(CraftedEstate, ExcludedFoldersStayOutAndTheHashCatchesAChangeUnderTheSameSizeAndTime) {
    ASSERT_EQ(inventory({"--exclude", "deep", "--exclude", "*.zip"}).code, 1);
    EXPECT_FALSE(files().contains("books/a/deep/er/Tools1.xls"));
    EXPECT_EQ(value(db, "SELECT COUNT(*) FROM file WHERE path LIKE '%fake.zip'"), "0");
    EXPECT_FALSE(as({"inventory", "--list", root, "--exclude", "deep"}).out.contains("Tools1.xls"));

    // The same size and time, other bytes: only the hash tells.
    EXPECT_TRUE(inventory().out.contains("今回読んだもの 2、"));  // the two left out before
    const QByteArray broken = QFile::encodeName(at("books/broken.xls"));
    struct stat st {};
    ASSERT_EQ(::stat(broken.constData(), &st), 0);
    QFile f(at("books/broken.xls"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.write(QByteArray(f.size(), 'x'));
    f.close();
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, broken.constData(), times, 0), 0);
    EXPECT_TRUE(inventory().out.contains("今回読んだもの 0、"));
    EXPECT_EQ(value(db, "SELECT kind FROM file WHERE path LIKE '%broken.xls'"), "failed") << "unchanged by size and time";
    inventory({"--verify-hash"});
    EXPECT_EQ(value(db, "SELECT kind FROM file WHERE path LIKE '%broken.xls'"), "other") << "x's are no workbook";
}

TEST(CommandLine, MistakesAreToldInJapaneseWithExitCode2) {
    QTemporaryDir dir;
    const QString db = dir.filePath("e.sqlite");
    const struct {
        QStringList args;
        const char* told;
    } cases[] = {
        {{"inventory"}, "調べるフォルダを指定してください"},
        {{"inventory", dir.path()}, "--db でデータベースを指定してください"},
        {{"inventory", dir.path(), "--db", db, "-j", "0"}, "--jobs には 1 から 256 までの整数"},
        {{"inventory", dir.path(), "--db", db, "--timeout", "soon"}, "--timeout には 1 から"},
        {{"inventory", "--files", "f.txt", "--shard", "4/3", "--db", db}, "--shard は K/N の形で"},
        {{"inventory", dir.path(), "--shard", "1/2", "--db", db}, "--shard は --files と一緒に"},
        {{"inventory", "--bogus"}, "「--bogus」というオプションはありません"},
        {{"inventory", "--list", "--merge", dir.path()}, "一つだけ指定してください"},
        {{"inventory", "--report", db}, "-o で出力先フォルダを指定してください"},
        {{"inventory", "--db"}, "オプション --db の後に値を指定して下さい"},
        {{"inventory", dir.filePath("missing"), "--db", db}, "が見つかりません"},
        {{"inventory", "--files", dir.filePath("missing.txt"), "--db", db}, "作業リスト"},
        {{"inventory", "--merge", dir.filePath("missing.sqlite"), "--db", db}, "が見つかりません"},
    };
    for (const auto& c : cases) {
        const Outcome run = tabulon(c.args);
        EXPECT_EQ(run.code, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.told))) << c.args.join(' ').toStdString() << "\n"
                                                                  << run.err.toStdString();
    }
    // "--" ends the options: a folder named like one is a root. Full-width
    // digits are digits.
    QDir(dir.path()).mkdir("-j");
    EXPECT_EQ(tabulon({"inventory", "--db", db, "-j", "２", "--", dir.filePath("-j")}).code, 0);
}

TEST_F(CraftedEstate, TheSummaryListsWhatMattersAndTheGraphShowsTheLinks) {
    ASSERT_EQ(inventory().code, 1);
    const QString out = dir.filePath("report");
    const Outcome report = tabulon({"inventory", "--report", db, "-o", out});
    ASSERT_EQ(report.code, 0) << report.err.toStdString();
    QProcess text;
    text.start("pdftotext", {"-layout", out + "/estate-summary.pdf", "-"});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString pdf = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected : {"集計", "形式・更新からの年数別のブック数", "BIFF8", "自動実行マクロのあるブック",
                                 "Workbook_Open", "開いたとき", "リンク先として多く参照されるブック", "Links2.xls",
                                 "複数のブックにある同じモジュール", "Helpers", "読み取れなかったファイル・フォルダ",
                                 "broken.xls", "パスワードで保護されたブック", "secret"})
        EXPECT_TRUE(pdf.contains(QString::fromUtf8(expected))) << expected;
    QFile dot(out + "/estate-links.dot");
    ASSERT_TRUE(dot.open(QIODevice::ReadOnly));
    const QString graph = QString::fromUtf8(dot.readAll());
    EXPECT_TRUE(graph.startsWith("digraph estate {"));
    EXPECT_EQ(graph.count("->"), 2) << graph.toStdString();
    EXPECT_TRUE(graph.contains("label=\"Links1.xls\"")) << graph.toStdString();
    if (!QStandardPaths::findExecutable("dot").isEmpty()) {
        EXPECT_TRUE(QFile::exists(out + "/estate-links.svg"));
    }
}

}  // namespace
}  // namespace tabulon::test::inventory
