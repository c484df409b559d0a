#include "intake/MessageText.h"

#include "host/Error.h"

#include <exception>

namespace tabulon::intake {

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
