#include "intake/PrintHeader.h"

#include "common/Error.h"
#include "host/PathParts.h"
#include "store/Database.h"
#include "store/AnalysisTables.h"

namespace tabulon::intake {

QString applyPrintHeader(store::Database& db, const PrintHeaderState& state,
                         const QString& workbookPath, const QString& freeText) {
    QString header, mode;
    if (state.fileFlag == 1) {
        const bool full = state.pathFlag == 1;
        header = full ? workbookPath : host::GetFileNamePart(workbookPath);
        mode = full ? QStringLiteral("ファイル名フルパス印刷") : QStringLiteral("ファイル名印刷");
    } else if (state.freeFlag != 1) {
        mode = QStringLiteral("印刷しない");
    } else {
        header = freeText;
        mode = QStringLiteral("任意の文字列を印刷");
    }
    const bool writesRow = state.fileFlag == 1 || state.freeFlag == 1;
    // The table refuses an empty header; refusing it here keeps the old row.
    if (writesRow && header.isEmpty())
        throw Error(err::EmptyNotAllowed,
                    QStringLiteral("フィールド 'T_XlTitle.FileName' には長さ 0 の文字列を入力できません。"));
    store::CommandScope scope(db);
    db.clearTable(QStringLiteral("T_XlTitle"));
    if (writesRow) {
        auto t = db.openTable(QStringLiteral("T_XlTitle"));
        t->addNew();
        t->set(QStringLiteral("FileName"), header);
        t->update();
        t->close();
    }
    return mode;
}

}  // namespace tabulon::intake
