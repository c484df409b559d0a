#include "host/vba/LegacyProject.h"

#include "common/Error.h"
#include "host/vba/Compound.h"

namespace tabulon::vba {

bool hasUnreadableProject(const QString& xlsPath, const xls::WorkbookModel& book) {
    if (book.biff != 5) return false;
    try {
        const Storage file = Storage::open(xlsPath);
        if (file.isStorage(QStringLiteral("_VBA_PROJECT_CUR"))) return false;
        return book.vbaModuleSheets || file.isStorage(QStringLiteral("_VBA_PROJECT"));
    } catch (const Error&) {
        return false;
    }
}

QString unreadableProjectText() {
    return QStringLiteral("このブックのマクロは Excel 5.0/95 形式で保存されているため読めません。\r"
                          "モジュールの章は作成できません。ブックの章は作成できます。");
}

}  // namespace tabulon::vba
