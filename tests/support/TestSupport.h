#pragma once
// Helpers shared by every test binary.
#include <QString>

namespace tabulon::test {

// tests/fixtures/<relative>: the public workbooks the tests read, carried in
// the repository (tests/fixtures/SOURCES.md).
inline QString fixture(const QString& relative) {
    return QStringLiteral(TABULON_SOURCE_DIR "/tests/fixtures/") + relative;
}

}  // namespace tabulon::test
