// Appending speed of the analysis database: the cell inventory of a large
// workbook writes one T_XlCalc row per formula cell, through one table and one
// transaction. Prints rows per second; the goal is at least 300,000.
#include "store/Database.h"
#include "store/AnalysisTables.h"

#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <ctime>
#include <cstdio>
#include <cstdlib>

using namespace tabulon::store;

int main(int argc, char** argv) {
    const long rows = argc > 1 ? std::atol(argv[1]) : 1000000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tabulon2.mdb"));
    Database::create(path);
    auto db = Database::open(path);

    const QString sheet = QStringLiteral("売上集計");
    const QString formula = QStringLiteral("=SUM(B2:B10)*'[単価表.xls]Sheet1'!$C$3");
    QElapsedTimer timer;
    qint64 appendMs = 0;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    {
        CommandScope scope(*db);
        db->clearTable(QStringLiteral("T_XlCalc"));
        auto table = db->openTable(QStringLiteral("T_XlCalc"));
        for (long i = 0; i < rows; ++i) {
            table->addNew();
            table->set(QStringLiteral("Label"), 1);
            table->set(QStringLiteral("SheetMei"), sheet);
            table->set(QStringLiteral("objectNo"), int(i / 65536 + 1));
            table->set(QStringLiteral("StCell"), QStringLiteral("B%1").arg(i % 65536 + 1));
            table->set(QStringLiteral("CalcName"), formula);
            table->update();
        }
        appendMs = timer.elapsed();
    }
    const double seconds = timer.elapsed() / 1000.0;
    // CPU time too: on a machine shared with builds the wall clock says more
    // about the neighbours than about the store.
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const auto stored = db->query(QStringLiteral("SELECT count(*) FROM T_XlCalc"))[0][0].toLongLong();
    std::printf("T_XlCalc: %lld rows in %.2f s wall (appending %.2f s, commit %.2f s), "
                "%.0f rows/s; %.2f s CPU, %.0f rows/s (goal 300000)\n",
                stored, seconds, appendMs / 1000.0, seconds - appendMs / 1000.0,
                stored / seconds, cpu, stored / cpu);
    return stored == rows ? 0 : 1;
}
