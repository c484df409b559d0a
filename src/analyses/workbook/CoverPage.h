#pragma once
// The cover page and the two binder labels: the six cover fields of the main
// window become the one row of T_XlHyousi, printed by R_XlHyousi (A4 cover),
// R_XlHyousiH (spine label) or R_XlHyousiW (front label).
#include "intake/Session.h"

#include <QString>

namespace tabulon::store {
class Database;
}

namespace tabulon::analyses::workbook {

inline const QString CoverPlace = QStringLiteral("場所:表紙");
inline const QString CoverCollectingText = QStringLiteral("表紙 情報　取得中");

struct CoverRow {
    QString sysTitle, sysName, company, bumon, auther, createDate;
};

CoverRow coverRow(const intake::Cover& cover);

// Empties T_XlHyousi and writes the row.
void writeCoverRow(store::Database& db, const CoverRow& row);

}  // namespace tabulon::analyses::workbook
