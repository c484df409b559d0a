#include "common/Guard.h"

#include <new>

namespace tabulon {

std::optional<Error> guardedRun(const QString& place, const std::function<void()>& body) {
    std::optional<Error> failure;
    try {
        body();
        return std::nullopt;
    } catch (const Error& e) {
        failure = e;
    } catch (const std::bad_alloc&) {
        failure.emplace(err::OutOfMemory, QStringLiteral("メモリが不足しています。"));
    } catch (const std::exception& e) {
        failure.emplace(err::InternalError, QString::fromLocal8Bit(e.what()));
    }
    if (failure->place().isEmpty()) failure->setPlace(place);
    return failure;
}

}  // namespace tabulon
