// The workbook intake: what it leaves in the working folder, the session and
// the command states for workbooks with and without code, and its failures.
#include "intake/WorkbookIntake.h"

#include "common/Error.h"
#include "store/Database.h"
#include "support/Damage.h"
#include "support/TestSupport.h"
#include "xlswriter/XlsWriter.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::intake;
using tabulon::xlsw::XlsModule;
using tabulon::xlsw::XlsWriter;

namespace {

struct ScriptedMessages : MessagePort {
    QStringList shown, details;
    Answer message(const QString& text, Buttons) override {
        shown << text;
        return Answer::Ok;
    }
    void refusal(const QString& text, const QString& detail) override {
        shown << text;
        details << detail;
    }
};

constexpr Command kCodeCommands[] = {Command::Procedures, Command::Sources, Command::ModuleSteps,
                                     Command::CollectVariables};

struct Intake : ::testing::Test {
    QTemporaryDir home;
    AppPaths paths = AppPaths::forFolder(home.path());
    Session session{paths};
    ScriptedMessages messages;
    SilentProgress progress;
    int exits = 0;
    int screenSaverOff = 0;
    WorkbookIntake intake{session, CommandShell{messages, progress, [this] { ++exits; }},
                          IntakeHooks{[this](bool on) { screenSaverOff += on ? 0 : 1; }, {}}};

    void SetUp() override {
        ensureInstalled(paths);
        session.applyStartupStates();
    }
    bool open(const QString& path) { return intake.open(path); }
    QStringList workingFiles() const {
        return QDir(paths.tempFolder).entryList(QDir::Files, QDir::Name);
    }
    QString crafted(const QString& name, const std::function<void(XlsWriter&)>& fill) {
        XlsWriter w;
        fill(w);
        const QString path = home.filePath(name);
        EXPECT_TRUE(w.save(path));
        return path;
    }
};

// The header row of an earlier run's set-up goes at every intake.
TEST_F(Intake, WorkbookWithoutCodeLeavesCodeCommandsDisabledAndEmptiesTheHeader) {
    store::Database::open(paths.dbPath)->execute("INSERT INTO T_XlTitle (FileName) VALUES ('old header')");
    ASSERT_TRUE(open(test::fixture("xls/poi/SimpleWithComments.xls")));
    EXPECT_TRUE(workingFiles().isEmpty());
    EXPECT_FALSE(session.hasModules());
    for (Command c : kCodeCommands)
        EXPECT_FALSE(session.isEnabled(c)) << int(c);
    for (Command c : {Command::Objects, Command::Cells, Command::Cover, Command::Names, Command::TimeEstimate})
        EXPECT_TRUE(session.isEnabled(c)) << int(c);
    EXPECT_NE(intake.workbook(), nullptr);
    EXPECT_EQ(screenSaverOff, 1);
    EXPECT_EQ(store::Database::open(paths.dbPath)->query("select count(*) from T_XlTitle")[0][0].toInt(), 0);
}

// Document modules holding only attributes and Option lines are exported but
// are no code; module sheets are left out of the sheet lists.
TEST_F(Intake, EmptyDocumentModulesAndModuleSheetsAreNoCode) {
    const QString path = crafted("docs.xls", [](XlsWriter& w) {
        w.addSheet("Data").number(0, 0, 1);
        w.addSheet("module7");
        w.addSheet("Summary");
        w.addModule("thisWORKBOOK", XlsModule::Document, "Option Explicit\r\n");
        w.addModule("Sheet1", XlsModule::Document, "Option Explicit\r\n");
    });
    ASSERT_TRUE(open(path));
    EXPECT_EQ(workingFiles(), (QStringList{"Sheet1.sht", "thisWORKBOOK.bok"}));
    EXPECT_FALSE(session.isEnabled(Command::Procedures));
    EXPECT_EQ(session.sheetNames(), (QStringList{"Data", "Summary"}));
    EXPECT_EQ(session.ModuleSheetCount, 1);
    EXPECT_TRUE(session.linkItems().isEmpty());
}

// Event handlers in ThisWorkbook and a sheet module are the workbook's code:
// the code commands are enabled though no standard, class or form module
// exists.
TEST_F(Intake, EventCodeInDocumentModulesEnablesTheCodeCommands) {
    const QString path = crafted("events.xls", [](XlsWriter& w) {
        w.addSheet("Data");
        w.addModule("ThisWorkbook", XlsModule::Document, "Private Sub Workbook_Open()\r\nEnd Sub\r\n");
        w.addModule("Sheet1", XlsModule::Document, "Option Explicit\r\n");
    });
    ASSERT_TRUE(open(path));
    EXPECT_FALSE(session.hasModules());
    for (Command c : {Command::Procedures, Command::Sources, Command::ModuleSteps, Command::CollectVariables})
        EXPECT_TRUE(session.isEnabled(c)) << int(c);
    EXPECT_TRUE(intake.unreadableCodeText().isEmpty());
}

// The cover takes the workbook's properties where the held defaults are
// empty (the company too), the held defaults where they are not.
TEST_F(Intake, SampleGivesModuleCountsSheetsLinksAndCoverFields) {
    const QString sample = QStringLiteral(TABULON_SOURCE_DIR "/examples/sample.xls");
    ASSERT_TRUE(open(sample));
    EXPECT_EQ(QList<int>({session.StdModuleCount, session.ClassModuleCount, session.FormModuleCount}),
              QList<int>({1, 1, 1}));
    EXPECT_EQ(workingFiles().join(' '),
              "Module1.bas OrderCalc.cls Sheet1.sht ThisWorkbook.bok UserForm1.frm UserForm1.frx");
    EXPECT_TRUE(session.isEnabled(Command::Procedures));
    EXPECT_TRUE(session.isEnabled(Command::Sources));
    EXPECT_EQ(session.sheetNames(), (QStringList{"売上明細", "集計", "設定"}));
    EXPECT_EQ(session.linkItems(), QStringList{"C:\\data\\Prices.xls"});
    const Cover& c = session.cover();
    EXPECT_EQ(QStringList({c.title, c.company, c.zoom, c.system, c.auther}),
              QStringList({"プログラム仕様書", "株式会社サンプル商事", "98", "受注管理システム", "山田 太郎"}));
    EXPECT_EQ(c.date, QDate::currentDate().toString("yyyy/MM/dd"));

    writeBasicInfo(paths.datPath, BasicInfo{"  仕様", "自社", "開発部", "75"});
    ASSERT_TRUE(open(sample));
    const Cover& held = session.cover();
    EXPECT_EQ(QStringList({held.title, held.company, held.bumon, held.zoom}),
              QStringList({"  仕様", "自社", "開発部", "75"}));
}

// A project locked for viewing is its author's wish: the workbook is opened
// for its workbook chapters, the code is neither read nor exported, and the
// code commands stay enabled to say why they list nothing.
TEST_F(Intake, LockedProjectOpensTheWorkbookAndLeavesTheCodeUnread) {
    ASSERT_TRUE(open(test::fixture("xls/poi/31749.xls")));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(workingFiles().isEmpty());
    EXPECT_EQ(intake.unreadableCodeText(), kLockedProjectText);
    ASSERT_NE(intake.vbaProject(), nullptr);
    for (const vba::Component& c : intake.vbaProject()->components()) EXPECT_TRUE(c.exportText.isEmpty());
    for (Command c : {Command::Objects, Command::Cells, Command::Names, Command::Procedures, Command::Sources,
                      Command::CollectVariables})
        EXPECT_TRUE(session.isEnabled(c)) << int(c);
    EXPECT_FALSE(session.sheetNames().isEmpty());
}

// A damaged VBA project costs the code only: the workbook opens for its
// workbook chapters, and the code commands say the project cannot be read.
TEST_F(Intake, DamagedProjectOpensTheWorkbookAndTheCodeChaptersSayWhy) {
    const QString path = crafted("damaged.xls", [](XlsWriter& w) {
        w.addSheet("Data");
        w.addModule(XlsModule{"Module1", XlsModule::Standard, "Sub A()\r\nEnd Sub\r\n", {}, true});
    });
    ASSERT_TRUE(open(path)) << messages.shown.join("|").toStdString();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(intake.vbaProject(), nullptr);
    EXPECT_TRUE(intake.unreadableCodeText().startsWith(QStringLiteral("VBA プロジェクトが壊れている")))
        << intake.unreadableCodeText().toStdString();
    for (Command c : {Command::Objects, Command::Cells, Command::Procedures, Command::Sources})
        EXPECT_TRUE(session.isEnabled(c)) << int(c);
    EXPECT_EQ(session.sheetNames(), QStringList{"Data"});
}

// A file the reader refuses is the user's file, not the program's fault: one
// plain box with the reason and no mail request, the technical account kept
// apart, and the workbook that was open stays open with its commands.
TEST_F(Intake, RefusedFileIsExplainedAndChangesNothing) {
    const QString book = test::fixture("xls/poi/SimpleWithComments.xls");
    ASSERT_TRUE(open(book));
    session.setEnabled(Command::PreviewNames, true);
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(home.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const struct { QString path; const char* reason; } cases[] = {
        {home.filePath("missing.xls"), "ファイルが見つからないか、開けません。"},
        {write("text.xls", "Name,Price\r\nTea,120\r\n"), "Excel ブックではないため"},
        {write("empty.xls", ""), "空のファイルです。"},
        {write("notes.txt", "x"), "Excel ブックではないため"},
    };
    for (const auto& c : cases) {
        messages.shown.clear();
        EXPECT_FALSE(open(c.path));
        ASSERT_EQ(messages.shown.size(), 1) << c.path.toStdString();
        const QString& box = messages.shown[0];
        EXPECT_TRUE(box.startsWith("「" + QFileInfo(c.path).fileName() + "」を開けません。\r理由: ")) << box.toStdString();
        EXPECT_TRUE(box.contains(QString::fromUtf8(c.reason))) << box.toStdString();
        EXPECT_FALSE(box.contains("メール") || box.contains("ｴﾗｰNo")) << box.toStdString();
        EXPECT_FALSE(messages.details[0].isEmpty()) << "the reader's account is kept for the details";
        EXPECT_EQ(session.workbookPath(), book);
        ASSERT_NE(intake.workbook(), nullptr);
        EXPECT_EQ(intake.workbook()->fullName(), book);
        EXPECT_TRUE(session.isEnabled(Command::Objects));
        EXPECT_TRUE(session.isEnabled(Command::PreviewNames));
    }
    EXPECT_EQ(exits, 0);
    EXPECT_FALSE(open(QString()));  // nothing chosen
    EXPECT_EQ(session.workbookPath(), book);
}

// Every intake turns every preview off, however the workbook came: a
// preview would show the previous workbook's rows under the new name.
TEST_F(Intake, EveryIntakeTurnsEveryPreviewOff) {
    ASSERT_TRUE(open(QStringLiteral(TABULON_SOURCE_DIR "/examples/sample.xls")));
    for (Command c : {Command::PreviewCitations, Command::PreviewObjects, Command::VariableLists})
        session.setEnabled(c, true);
    ASSERT_TRUE(open(test::fixture("xls/poi/SimpleWithComments.xls")));
    for (int c = 0; c < kCommandCount; ++c) {
        if (Command(c) >= Command::PreviewObjects && Command(c) <= Command::PreviewCitations) {
            EXPECT_FALSE(session.isEnabled(Command(c))) << c;
        }
    }
    EXPECT_FALSE(session.isEnabled(Command::VariableLists));
}

// Modules left from another workbook would be documented as this one's.
TEST_F(Intake, EveryRouteStartsFromAnEmptyWorkingFolder) {
    const QString sample = QStringLiteral(TABULON_SOURCE_DIR "/examples/sample.xls");
    auto stray = [&] {
        QFile f(paths.tempFolder + "stray.bas");
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    };
    stray();  // left by an earlier run of the program
    ASSERT_TRUE(open(sample));
    EXPECT_FALSE(workingFiles().contains("stray.bas"));
    stray();
    ASSERT_TRUE(open(sample));
    EXPECT_FALSE(workingFiles().contains("stray.bas"));
    ASSERT_TRUE(open(test::fixture("xls/poi/SimpleWithComments.xls")));
    EXPECT_TRUE(workingFiles().isEmpty());
}

}  // namespace

// An Excel 95 workbook whose macros sit in a VB module sheet: the workbook
// opens, and the code commands stay usable so that they can say why they
// list nothing.
TEST_F(Intake, ExcelNinetyFiveModuleSheetsLeaveTheCodeCommandsToExplain) {
    auto rec = [](int type, const QByteArray& body) {
        QByteArray r;
        r.append(char(type & 0xFF)).append(char(type >> 8)).append(char(body.size() & 0xFF)).append(char(body.size() >> 8));
        return r + body;
    };
    const QByteArray bof5Sheet = rec(0x0809, QByteArray("\x00\x05\x10\x00\x00\x00\x00\x00", 8));
    auto globals = [&](char offset) {
        return rec(0x0809, QByteArray("\x00\x05\x05\x00\x00\x00\x00\x00", 8)) + rec(0x0042, QByteArray("\xA4\x03", 2)) +
               rec(0x0085, QByteArray(1, offset) + QByteArray("\x00\x00\x00\x00\x00\x04" "Data", 10)) +
               rec(0x0085, QByteArray("\x00\x00\x00\x00\x00\x06\x07" "Module1", 14)) + rec(0x000A, {});
    };
    const QByteArray stream = globals(char(globals(0).size())) + bof5Sheet + rec(0x000A, {});
    const QString path = crafted("excel95.xls", [&](XlsWriter& w) { w.setWorkbookStream("Book", stream); });
    ASSERT_TRUE(open(path)) << messages.shown.join(u'\n').toStdString();
    EXPECT_TRUE(session.UnreadableProject);
    EXPECT_EQ(session.sheetNames(), QStringList{QStringLiteral("Data")});
    for (Command c : kCodeCommands)
        EXPECT_TRUE(session.isEnabled(c)) << int(c);
}

// What the reader skipped in a damaged workbook stays with the session for
// the documentation, and the status line says so after the intake.
TEST(IntakeOfDamage, ReaderWarningsReachTheSessionAndTheStatusLine) {
    struct LastStatus : SilentProgress {
        QString text;
        void status(const QString& t) override { text = t; }
    };
    QTemporaryDir home;
    const AppPaths paths = AppPaths::forFolder(home.path());
    ensureInstalled(paths);
    Session session(paths);
    ScriptedMessages messages;
    LastStatus status;
    WorkbookIntake intake(session, CommandShell{messages, status, {}});
    XlsWriter w;
    xlsw::XlsSheet& data = w.addSheet("Data");
    for (int r = 0; r < 100; ++r) data.number(r, 0, r);
    QByteArray stream = w.workbookStream();
    test::overlongRecord(stream, test::recordOffset(stream, 0x0203, 50));  // a NUMBER
    w.setWorkbookStream("Workbook", stream);
    const QString book = home.filePath("cut.xls");
    ASSERT_TRUE(w.save(book));
    ASSERT_TRUE(intake.open(book)) << messages.shown.join('\n').toStdString();
    ASSERT_FALSE(session.readWarnings.isEmpty());
    EXPECT_EQ(status.text, readWarningStatus(int(session.readWarnings.size())));
    EXPECT_TRUE(status.text.startsWith(QStringLiteral("読み込みの警告")));

    ASSERT_TRUE(intake.open(test::fixture("xls/poi/SimpleWithComments.xls")));
    EXPECT_TRUE(session.readWarnings.isEmpty()) << "warnings of the earlier workbook stayed";
    EXPECT_TRUE(status.text.isEmpty());
}

namespace {

// The workbooks saved since 2007 are the same applications as the .xls they
// replaced: the intake takes them by name and the reader tells them by content.
TEST_F(Intake, NewerFormatsAreTakenByNameAndOpened) {
    for (const char* name : {"a.xls", "B.XLSX", "c.xlsm", "d.xltx", "e.xltm", "f.xlam", "g.xlt", "h.XLA", "i.xlsb"})
        EXPECT_TRUE(isWorkbookFileName(QString::fromLatin1(name))) << name;
    for (const char* name : {"b.csv", "c.xls.bak", "xls"})
        EXPECT_FALSE(isWorkbookFileName(QString::fromLatin1(name))) << name;
    EXPECT_EQ(workbookFileFilter(), QStringLiteral("Excel(*.xls;*.xlsx;*.xlsm;*.xlsb;*.xltx;*.xltm;*.xlam;*.xlt;*.xla)"));
    EXPECT_TRUE(open(test::fixture("ooxml/closedxml/ClosedXML.Tests/Resource/TryToLoad/FileWithButton.xlsm")))
        << messages.shown.join(u'\n').toStdString();
    EXPECT_TRUE(messages.shown.isEmpty());
}

}  // namespace
