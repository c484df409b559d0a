#include "intake/MessageText.h"

#include "common/Guard.h"

namespace tabulon::intake {

bool runGuarded(const CommandShell& shell, const QString& place,
                const std::function<void()>& body, const ErrorStyle& style) {
    const std::optional<Error> failure = guardedRun(place, body);
    if (!failure) return true;
    shell.messages.error(errorText(*failure, style));
    shell.progress.busy(false);
    if (isUnstable(failure->number()) && shell.exit)
        shell.exit();
    return false;
}

}  // namespace tabulon::intake
