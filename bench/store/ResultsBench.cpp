// Saving and loading a results file of a large analysis: the save copies the
// open database into a results file (backup, sync, rename); the load checks
// the file and makes the private working copy the reports print from. The
// goal is under 2 s each for a 100 MB database.
#include "store/Database.h"
#include "store/ResultsFile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

using namespace tabulon::store;

int main(int argc, char** argv) {
    const double targetMb = argc > 1 ? std::atof(argv[1]) : 100.0;
    QTemporaryDir dir;
    const QString live = dir.filePath(QStringLiteral("Tabulon2.mdb"));
    Database::create(live);
    auto db = Database::open(live);
    {
        CommandScope scope(*db);
        auto table = db->openTable(QStringLiteral("T_XlCalc"));
        const QString formula = QStringLiteral("=VLOOKUP(A%1,'[単価表.xls]単価'!$A$2:$F$5000,6,FALSE)*数量+送料");
        const long rows = long(targetMb * 1024 * 1024 / 111);
        for (long i = 0; i < rows; ++i) {
            table->addNew();
            table->set(QStringLiteral("SheetMei"), QStringLiteral("売上集計"));
            table->set(QStringLiteral("StCell"), QStringLiteral("B%1").arg(i % 65536 + 1));
            table->set(QStringLiteral("CalcName"), formula.arg(i));
            table->update();
        }
    }
    const double mb = QFileInfo(live).size() / 1024.0 / 1024.0;

    QElapsedTimer timer;
    timer.start();
    const QString results = dir.filePath(QStringLiteral("result.xdb"));
    writeResultsFile(*db, results);
    const double saveS = timer.elapsed() / 1000.0;

    timer.restart();
    const WorkingCopy copy = openWorkingCopy(results, dir.filePath(QStringLiteral("work.xdb")));
    auto loaded = Database::open(copy.path);
    const auto rows = loaded->query(QStringLiteral("SELECT count(*) FROM T_XlSaveFlag"));
    const double loadS = timer.elapsed() / 1000.0;

    std::printf("database %.1f MB: save %.2f s, load %.2f s (goal < 2 s each)\n", mb, saveS, loadS);
    return rows.empty() ? 1 : 0;
}
