#include "host/vba/LegacyProject.h"

namespace tabulon::vba {

QString unreadableProjectText() {
    return QStringLiteral("このブックのマクロは Excel 5.0/95 形式で保存されているため読めません。\r"
                          "モジュールの章は作成できません。ブックの章は作成できます。");
}

}  // namespace tabulon::vba
