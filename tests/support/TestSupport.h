#pragma once
// Helpers shared by every test binary.
#include <QString>

namespace tabulon::test {

// ../shared/fixtures/<relative>, from the repository root.
inline QString fixture(const QString& relative) {
    return QStringLiteral(TABULON_SOURCE_DIR "/../shared/fixtures/") + relative;
}

}  // namespace tabulon::test
