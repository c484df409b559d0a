#include "analyses/ResultsCommands.h"

#include "analyses/workbook/CoverPage.h"
#include "common/Error.h"
#include "intake/SaveFlags.h"
#include "store/Database.h"
#include "store/ResultsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tabulon::analyses {

using intake::Mark;

namespace {

const QString kXdb = QStringLiteral(".xdb");

// The request line of the save and load boxes also asks for the content.
ErrorStyle resultsStyle() {
    ErrorStyle style;
    style.requestLine = QStringLiteral("場所、ｴﾗｰNo、内容を控えメールをお願いします。");
    return style;
}

// Failures the user can act on (a file that is not a results file, a folder
// that cannot be written, a full disk) get their reason in a plain box; only
// faults of the program ask for a mail.
bool explainsItself(const Error& e) {
    return e.number() == err::PathFileAccess || e.number() == err::FileNotFound ||
           e.number() == store::kUnrecognisedFormat;
}

// What a results file holds besides the live database: the cover rows of the
// workbook being saved, and no rows of an analysis not run on it.
void prepareSavedCopy(store::Database& copy, const intake::Session& session) {
    workbook::writeCoverRow(copy, workbook::coverRow(session.cover()));
    for (int m = 0; m < intake::kMarkCount; ++m) {
        if (session.mark(Mark(m)) != 0)
            continue;
        for (const QString& table : intake::tablesOfMark(Mark(m)))
            copy.clearTable(table);
    }
}

}  // namespace

QString resultsFileName(const QString& chosen) {
    QString name = chosen;
    if (name.endsWith(kXdb, Qt::CaseInsensitive))
        name.chop(kXdb.size());
    return name + kXdb;
}

ResultsCommands::ResultsCommands(FrontEnd frontEnd) : fe_(std::move(frontEnd)) {}

QString ResultsCommands::workingCopyPath() const {
    return fe_.session.paths().tempFolder + QStringLiteral("Tabulon-results.xdb");
}

bool ResultsCommands::save(const std::function<QString()>& choose) {
    auto& s = fe_.session;
    auto& box = fe_.shell.messages;
    if (s.workbookPath().isEmpty()) {
        box.message(QStringLiteral("ファイルの解析後、保存ください。"));
        return false;
    }
    const QString chosen = choose();
    if (chosen.isEmpty())
        return false;
    const QString path = QFileInfo(resultsFileName(chosen)).absoluteFilePath();
    if (QFileInfo::exists(path) &&
        box.message(QStringLiteral("「%1」は既に存在します。\r上書きしますか？").arg(path),
                    Buttons::OkCancel) == Answer::Cancel) {
        box.message(QStringLiteral("「%1」に保存できません。\r理由: 上書きが取り消されました。").arg(path));
        return false;
    }
    auto& progress = fe_.shell.progress;
    bool saved = false;
    intake::runGuarded(fe_.shell, SavePlace, [&] {
        try {
            auto db = store::Database::open(s.paths().dbPath);
            BusyGuard busy(progress);
            progress.status(QStringLiteral("解析結果ファイル　保存中"));
            {
                store::CommandScope scope(*db);
                intake::writeSaveFlag(*db, intake::saveFlagOf(s));
            }
            store::writeResultsFile(*db, path,
                                    [&s](store::Database& copy) { prepareSavedCopy(copy, s); });
            saved = true;
        } catch (const Error& e) {
            progress.status(QString());
            if (!explainsItself(e))
                throw;
            box.refusal(e.description(), {});
        }
    }, resultsStyle());
    progress.status(QString());
    if (!saved)
        return false;
    box.message(QStringLiteral("保存終了しました。"));
    s.setEnabled({intake::Command::SelectWorkbook, intake::Command::LoadResults}, false);
    return true;
}

std::optional<QString> ResultsCommands::load(const std::function<QString()>& choose) {
    if (!fe_.session.workbookPath().isEmpty()) {
        fe_.shell.messages.message(QStringLiteral("解析ファイルが選択されておりますので処理出来ません。\r"
                                                  "終了し再度本ソフトを起動お願いします。"));
        return std::nullopt;
    }
    const QString chosen = choose();
    if (chosen.isEmpty())
        return std::nullopt;
    return openFile(chosen, LoadPlace, resultsStyle());
}

std::optional<QString> ResultsCommands::openAtStartup(const QString& argument) {
    const QString path = argument.trimmed();
    if (path.isEmpty())
        return std::nullopt;
    return openFile(path, StartupPlace, {});
}

std::optional<QString> ResultsCommands::openFile(const QString& path, const QString& place,
                                             const ErrorStyle& style) {
    std::optional<QString> name;
    intake::runGuarded(fe_.shell, place, [&] {
        auto& s = fe_.session;
        const QString working = workingCopyPath();
        std::optional<intake::SaveFlag> flag;
        store::WorkingCopy copy;
        try {
            QDir().mkpath(s.paths().tempFolder);
            copy = store::openWorkingCopy(path, working);
            auto db = store::Database::open(copy.path);
            flag = intake::readSaveFlag(*db);
        } catch (const Error& e) {
            QFile::remove(working);
            if (!explainsItself(e))
                throw;
            fe_.shell.messages.refusal(e.description(), {});
            return;
        }
        if (!flag) {
            QFile::remove(working);
            fe_.shell.messages.error(QStringLiteral("保存処理が失敗しています。"));
            return;
        }
        // Everything checked: from here the window changes in one go.
        intake::clearMarksOfTables(*flag, copy.addedTables);
        fe_.reports.openResults(copy.path);
        intake::PrintSet(s, *flag);
        s.MenuLock();
        name = flag->objName;
    }, style);
    return name;
}

}  // namespace tabulon::analyses
