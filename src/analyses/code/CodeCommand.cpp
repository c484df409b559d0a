#include "analyses/code/CodeCommand.h"

#include "common/Guard.h"
#include "intake/MessageText.h"

namespace tabulon::analyses::code {

bool refuseWithoutModules(const CodeContext& ctx, CodeOutcome& out) {
    if (ctx.counts.total() != 0) return false;
    ctx.progress.status(NoModulesText);
    ctx.messages.message(NoModulesText);
    out.end = CodeOutcome::End::Refused;
    out.message = NoModulesText;
    return true;
}

bool isFatalError(int number) {
    return intake::isUnstable(number);
}

QString errorBoxText(const QString& place, const Error& error) {
    return intake::errorText(place, error.number(), error.text());
}

void failCommand(const CodeContext& ctx, const QString& place, const Error& error,
                 CodeOutcome& out) {
    out.end = CodeOutcome::End::Failed;
    out.errorNumber = error.number();
    out.exitRequested = isFatalError(error.number());
    out.message = errorBoxText(place, error);
    out.report.clear();
    ctx.messages.message(out.message);
}

void runGuarded(const CodeContext& ctx, const QString& place, CodeOutcome& out,
                const std::function<void()>& body) {
    if (const std::optional<Error> failure = guardedRun(place, body))
        failCommand(ctx, place, *failure, out);
}

}  // namespace tabulon::analyses::code
