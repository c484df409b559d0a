#include "analyses/workbook/CoverPage.h"

#include "analyses/workbook/WorkbookText.h"
#include "store/Database.h"
#include "store/AnalysisTables.h"

namespace tabulon::analyses::workbook {

CoverRow coverRow(const intake::Cover& cover) {
    return CoverRow{cutThenTrim(cover.title, 150),  cutThenTrim(cover.system, 150),
                    cutThenTrim(cover.company, 150), cutThenTrim(cover.bumon, 150),
                    cutThenTrim(cover.auther, 20),   cover.date};
}

void writeCoverRow(store::Database& db, const CoverRow& row) {
    db.clearTable(QStringLiteral("T_XlHyousi"));
    auto table = db.openTable(QStringLiteral("T_XlHyousi"));
    table->addNew();
    table->set(QStringLiteral("SysTitle"), row.sysTitle);
    table->set(QStringLiteral("SysName"), row.sysName);
    table->set(QStringLiteral("Company"), row.company);
    table->set(QStringLiteral("Bumon"), row.bumon);
    table->set(QStringLiteral("Auther"), row.auther);
    table->set(QStringLiteral("CreateDate"), row.createDate);
    table->update();
    table->close();
}

}  // namespace tabulon::analyses::workbook
