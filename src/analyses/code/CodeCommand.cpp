#include "analyses/code/CodeCommand.h"

#include "common/Guard.h"
#include "intake/MessageText.h"

namespace tabulon::analyses::code {

bool refuseWithoutModules(const CodeContext& ctx, CodeOutcome& out) {
    if (refuseUnreadableProject(ctx, out)) return true;
    if (anyCode(ctx.modules)) return false;
    ctx.progress.status(NoModulesText);
    ctx.messages.message(NoModulesText);
    out.end = CodeOutcome::End::Refused;
    out.message = NoModulesText;
    return true;
}

// Macros that could not be read are not "no module": the user is told why
// the code chapters stay empty.
bool refuseUnreadableProject(const CodeContext& ctx, CodeOutcome& out) {
    if (ctx.counts.unreadable.isEmpty()) return false;
    const QString& text = ctx.counts.unreadable;
    ctx.progress.status(text.section(QLatin1Char('\r'), 0, 0));
    ctx.messages.message(text);
    out.end = CodeOutcome::End::Refused;
    out.message = text;
    return true;
}

bool isFatalError(int number) {
    return tabulon::isUnstable(number);
}

QString errorBoxText(const QString& place, const Error& error) {
    return tabulon::errorText(place, error.number(), error.text());
}

void failCommand(const CodeContext& ctx, const QString& place, const Error& error,
                 CodeOutcome& out) {
    failCommand(ctx.messages, place, error, out);
}

void failCommand(MessagePort& messages, const QString& place, const Error& error,
                 CodeOutcome& out, const GuardRules& rules) {
    out.end = CodeOutcome::End::Failed;
    out.errorNumber = error.number();
    out.exitRequested = isFatalError(error.number());
    if (rules.silentObjectMissing && error.number() == err::ObjectMissing) {
        out.message.clear();
        return;
    }
    if (!rules.refusedPlace.isEmpty() && error.number() == err::Refused)
        out.message = rules.refusedPlace + QStringLiteral("ｴﾗｰNo:") + QString::number(error.number()) +
                      QStringLiteral("\rシート保護を解除してください。");
    else
        out.message = errorBoxText(place, error);
    messages.error(out.message);
}

void runGuarded(const CodeContext& ctx, const QString& place, CodeOutcome& out,
                const std::function<void()>& body) {
    runGuarded(ctx.messages, place, out, body);
}

void runGuarded(MessagePort& messages, const QString& place, CodeOutcome& out,
                const std::function<void()>& body, const GuardRules& rules) {
    if (const std::optional<Error> failure = guardedRun(place, body))
        failCommand(messages, place, *failure, out, rules);
}

}  // namespace tabulon::analyses::code
