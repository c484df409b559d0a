#pragma once
// Zip packages for the writers of the newer formats and the tests' crafted
// packages, on libzip (the library the reader opens them with).
#include <QByteArray>
#include <QString>
#include <vector>

namespace tabulon::xlsw {

struct ZipPart {
    QString name;  // anything, "../x" included: tests craft unsafe names too
    QByteArray bytes;
    bool stored = false;  // left uncompressed
};

// The package's bytes, parts in the order given. Throws std::runtime_error
// when libzip refuses a part.
QByteArray zipParts(const std::vector<ZipPart>& parts);

}  // namespace tabulon::xlsw
