// Saving and loading results files through the commands both front ends
// use: the name rule, the refusals, what a saved file holds, and that a
// refused or failed step changes nothing.
#include "analyses/ResultsCommands.h"
#include "code_support.h"

#include "intake/AppPaths.h"
#include "intake/SaveFlags.h"
#include "store/Database.h"
#include "store/ResultsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::analyses;
using intake::Command;
using intake::Mark;

namespace {

struct Recorder : MessagePort {
    QStringList shown;
    Answer answer = Answer::Ok;
    Answer message(const QString& text, Buttons) override { shown << text; return answer; }
};

// The commands among `commands` that are usable.
std::vector<Command> enabledOf(const intake::Session& session, std::initializer_list<Command> commands) {
    std::vector<Command> out;
    for (Command c : commands)
        if (session.isEnabled(c)) out.push_back(c);
    return out;
}

struct NoPreview : reports::PreviewPort {
    void show(std::shared_ptr<reports::ReportDocument>) override {}
};

// One run of the program on a scratch program folder.
struct ProgramRun {
    explicit ProgramRun(const QString& folder) : session(intake::AppPaths::forFolder(folder)) {
        intake::ensureInstalled(session.paths());
        session.applyStartupStates();
    }
    intake::Session session;
    Recorder messages;
    SilentProgress progress;
    NoPreview preview;
    reports::ReportService reports{preview, messages};
    intake::CommandShell shell{messages, progress, {}};
    intake::WorkbookIntake intake{session, shell};
    ResultsCommands results{{session, shell, reports, intake, {}}};
};

class ResultsCommandsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ProgramRun first{dir.filePath("app")};
    QString target = dir.filePath("受注 結果.xdb");
    std::function<QString()> chooseTarget = [this] { return target; };
    std::function<QString()> mustNotAsk = [] {
        ADD_FAILURE() << "a dialog was shown";
        return QString();
    };

    // A workbook "opened" with two chapters done and a stale name list.
    void analysed() {
        first.session.setWorkbookPath("/data/受注管理.xls");
        first.session.setCover({"仕様書", "株式会社", "", "山田", "2026/12/06", "受注", "80"});
        first.session.setMark(Mark::Source, 2);
        first.session.setMark(Mark::Citations, 1);
        auto db = store::Database::open(first.session.paths().dbPath);
        for (const char* table : {"T_XlSource", "T_XlName", "T_XlLinkModule"}) {
            auto t = db->openTable(table);
            t->addNew();
            t->update();
        }
    }
    static long long count(const QString& file, const char* table) {
        auto db = store::Database::open(file);
        return db->query(QStringLiteral("SELECT count(*) FROM %1").arg(table))[0][0].toLongLong();
    }
};

TEST(ResultsName, OnlyOneTrailingXdbIsReplaced) {
    const std::pair<const char*, const char*> cases[] = {
        {"result", "result.xdb"},          {"result.XDB", "result.xdb"},
        {"result.xdb.xdb", "result.xdb.xdb"}, {"resultxdb", "resultxdb.xdb"},
        {"r.Xdb", "r.xdb"},                {"結果.txt", "結果.txt.xdb"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(resultsFileName(in), out) << in;
}

TEST_F(ResultsCommandsTest, SaveWithoutAWorkbookAndLoadAfterOneAreRefusedWithoutADialog) {
    EXPECT_FALSE(first.results.save(mustNotAsk));
    first.session.setWorkbookPath("/data/a.xls");
    EXPECT_FALSE(first.results.load(mustNotAsk));
    EXPECT_EQ(first.messages.shown,
              (QStringList{"ファイルの解析後、保存ください。",
                           "解析ファイルが選択されておりますので処理出来ません。\r"
                           "終了し再度本ソフトを起動お願いします。"}));
}

TEST_F(ResultsCommandsTest, SavedFileHoldsTheMarksTheCoverAndOnlyCurrentTables) {
    analysed();
    ASSERT_TRUE(first.results.save(chooseTarget));
    EXPECT_EQ(first.messages.shown.last(), "保存終了しました。");
    EXPECT_EQ(enabledOf(first.session, {Command::SelectWorkbook, Command::SaveResults, Command::LoadResults}),
              std::vector<Command>{Command::SaveResults});
    EXPECT_EQ(store::readResultsHeader(target).kind, store::ResultsKind::Current);
    EXPECT_EQ(count(target, "T_XlSource"), 1);
    EXPECT_EQ(count(target, "T_XlLinkModule"), 1);
    EXPECT_EQ(count(target, "T_XlName"), 0);  // names were not analysed on this workbook
    EXPECT_EQ(count(first.session.paths().dbPath, "T_XlName"), 1);  // the live file keeps them
    EXPECT_GT(count(target, "Z_Report"), 0);  // the report definitions travel with the rows
    EXPECT_EQ(test::code::lines(store::Database::open(target)->query("SELECT SysTitle, Auther FROM T_XlHyousi")),
              QStringList{"仕様書|山田"});
}

TEST_F(ResultsCommandsTest, LoadInANewRunRestoresTheSavedState) {
    analysed();
    first.session.setProcedureKana(true);
    ASSERT_TRUE(first.results.save(chooseTarget));
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray savedBytes = f.readAll();
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::ReadGroup);  // a read-only file opens too

    ProgramRun second(dir.filePath("app"));
    const auto name = second.results.load(chooseTarget);
    // The start-up argument is used as given: blanks around it go, no other character.
    ProgramRun third(dir.filePath("app"));
    EXPECT_FALSE(third.results.openAtStartup("   ").has_value());
    EXPECT_EQ(third.results.openAtStartup(" " + target + " ").value_or(""), "受注管理.xls");
    ASSERT_TRUE(name.has_value()) << second.messages.shown.join('|').toStdString();
    EXPECT_EQ(*name, "受注管理.xls");
    EXPECT_EQ(second.session.mark(Mark::Source), 2);
    EXPECT_EQ(second.session.mark(Mark::Citations), 1);
    EXPECT_EQ(second.session.cover().title, "仕様書");
    EXPECT_EQ(enabledOf(second.session, {Command::SelectWorkbook, Command::SaveResults, Command::LoadResults,
                                         Command::Settings, Command::PreviewSources, Command::PreviewCitations,
                                         Command::PreviewProcedures}),
              (std::vector<Command>{Command::PreviewSources, Command::PreviewCitations}));
    // Reports print from the private copy; the results file stays as saved.
    EXPECT_EQ(second.reports.resultsFile(), second.results.workingCopyPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), savedBytes);
}

TEST_F(ResultsCommandsTest, DecliningToOverwriteOrAFailedSaveKeepsTheFileAndTheMenus) {
    analysed();
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("前の結果");
    old.close();
    first.messages.answer = Answer::Cancel;
    EXPECT_FALSE(first.results.save(chooseTarget));
    ASSERT_EQ(first.messages.shown.size(), 2);
    EXPECT_TRUE(first.messages.shown[0].contains("上書きしますか"));
    EXPECT_TRUE(first.messages.shown[1].contains(target));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(old.readAll()), "前の結果");
    // A save that fails names the path, not the program-error text.
    first.messages.shown.clear();
    first.messages.answer = Answer::Ok;
    target = "/proc/受注.xdb";
    EXPECT_FALSE(first.results.save(chooseTarget));
    ASSERT_EQ(first.messages.shown.size(), 1);
    EXPECT_TRUE(first.messages.shown[0].contains(target));
    EXPECT_FALSE(first.messages.shown[0].contains("メールをお願いします"));
    EXPECT_EQ(enabledOf(first.session, {Command::SelectWorkbook, Command::LoadResults}),
              (std::vector<Command>{Command::SelectWorkbook, Command::LoadResults}));
}

// A file that is no database, then one without the saved row: refused with
// the path or the failure message; nothing loaded, no working copy left.
TEST_F(ResultsCommandsTest, RefusedFilesChangeNothing) {
    QFile text(target);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a database");
    text.close();
    EXPECT_FALSE(first.results.load(chooseTarget));
    ASSERT_EQ(first.messages.shown.size(), 1);
    EXPECT_TRUE(first.messages.shown[0].contains(target));
    QFile::remove(target);
    store::writeResultsFile(*store::Database::open(first.session.paths().dbPath), target);
    EXPECT_FALSE(first.results.load(chooseTarget));
    EXPECT_EQ(first.messages.shown.mid(1), QStringList{"保存処理が失敗しています。"});
    EXPECT_TRUE(first.session.isEnabled(Command::SelectWorkbook));
    EXPECT_TRUE(first.reports.resultsFile().isEmpty());
    EXPECT_FALSE(QFile::exists(first.results.workingCopyPath()));
}

}  // namespace
