#include "intake/MessageText.h"

#include "host/Error.h"

#include <exception>

namespace tabulon::intake {

bool isUnstable(int number) { return number >= 2449 && number <= 2999; }

QString errorText(const QString& place, int number, const QString& description,
                  const ErrorStyle& style) {
    const QString head = place + style.numberLead + QString::number(number);
    if (isUnstable(number)) {
        return head + QStringLiteral("\rシステムが不安定です。\r詳細はヘルプを参照下さい。\r"
                                     "システムを終了します。");
    }
    return head + u'\r' + style.requestLine + QStringLiteral("\r内容:") + description;
}

bool runGuarded(const CommandShell& shell, const QString& place,
                const std::function<void()>& body, const ErrorStyle& style) {
    int number = 0;
    QString description;
    try {
        body();
        return true;
    } catch (const Error& e) {
        number = e.number();
        description = e.description();
    } catch (const std::exception& e) {
        // Anything else is a fault of the program itself; 51 is the number the
        // platform always used for an internal error.
        number = 51;
        description = QString::fromLocal8Bit(e.what());
    }
    shell.messages.message(errorText(place, number, description, style), Buttons::Ok);
    shell.progress.busy(false);
    if (isUnstable(number) && shell.exit)
        shell.exit();
    return false;
}

}  // namespace tabulon::intake
