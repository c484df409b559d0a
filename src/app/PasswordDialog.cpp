#include "app/PasswordDialog.h"

#include "common/ErrorText.h"

#include <QInputDialog>
#include <QLineEdit>

namespace tabulon::app {

host::PasswordAsk passwordDialog(QWidget* owner) {
    return [owner](int attempt) -> std::optional<QString> {
        const QString label = attempt == 0
            ? QStringLiteral("このブックはパスワードで保護されています。\nパスワードを入力してください。")
            : QStringLiteral("パスワードが正しくありません。\nもう一度入力してください。");
        bool ok = false;
        const QString password =
            QInputDialog::getText(owner, kMessageTitle, label, QLineEdit::Password, QString(), &ok);
        if (!ok) return std::nullopt;
        return password;
    };
}

}  // namespace tabulon::app
