#include "cli/PasswordOption.h"

#include <QtGlobal>

namespace tabulon::cli {

host::PasswordAsk commandLinePassword(const QString& option) {
    const QString given = !option.isEmpty() ? option : qEnvironmentVariable(kPasswordVariable);
    return [given](int attempt) -> std::optional<QString> {
        if (attempt > 0 || given.isEmpty()) return std::nullopt;
        return given;
    };
}

}  // namespace tabulon::cli
