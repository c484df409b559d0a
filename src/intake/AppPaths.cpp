#include "intake/AppPaths.h"

#include "common/Error.h"
#include "common/SafeFile.h"
#include "intake/BasicInfo.h"
#include "store/Database.h"
#include "store/ReportDefinitions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace tabulon::intake {
namespace {

QString withSlash(QString folder) {
    folder.replace(u'\\', u'/');
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

}  // namespace

AppPaths AppPaths::forFolder(const QString& folder) {
    AppPaths p;
    p.appFolder = withSlash(folder);
    p.tempFolder = p.appFolder + QStringLiteral("temp/");
    p.dbPath = p.appFolder + QStringLiteral("Tabulon2.mdb");
    p.iniPath = p.appFolder + QStringLiteral("Tabulon.ini");
    p.datPath = p.appFolder + QStringLiteral("Tabulon2.dat");
    return p;
}

QString resolveAppFolder(const QString& homeOption) {
    if (!homeOption.isEmpty())
        return QFileInfo(homeOption).absoluteFilePath();
    const QString env = qEnvironmentVariable("TABULON_HOME");
    if (!env.isEmpty())
        return QFileInfo(env).absoluteFilePath();
    return QCoreApplication::applicationDirPath();
}

QStringList ensureInstalled(const AppPaths& paths) {
    QStringList created;
    if (const int failed = makeFolders(paths.tempFolder))
        throw Error(err::PathFileAccess, QStringLiteral("作業フォルダ「%1」を作成できません。\r理由: %2")
                                             .arg(paths.tempFolder, systemReason(failed)));
    if (!QFileInfo::exists(paths.datPath)) {
        writeBasicInfo(paths.datPath, BasicInfo{});
        created << paths.datPath;
    }
    if (!QFileInfo::exists(paths.dbPath)) {
        store::Database::create(paths.dbPath);
        created << paths.dbPath;
    } else {
        // A database of an earlier build prints with this build's reports.
        // One that cannot be written keeps its own; the commands say so when
        // they write.
        try {
            store::refreshReportDefinitions(*store::Database::open(paths.dbPath));
        } catch (const Error& e) {
            qWarning("tabulon: report definitions of %s not refreshed: %s", qPrintable(paths.dbPath), e.what());
        }
    }
    return created;
}

}  // namespace tabulon::intake
