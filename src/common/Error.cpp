#include "common/Error.h"

namespace tabulon {

QString ErrorDetail::text() const {
    QString t;
    if (offset != kNoOffset) t += QStringLiteral(" at offset %1").arg(offset);
    if (record >= 0) t += QStringLiteral(" (record 0x%1)").arg(record, 4, 16, QLatin1Char('0'));
    if (!expected.isEmpty() || !found.isEmpty())
        t += QStringLiteral(": expected %1, found %2").arg(expected, found);
    return t;
}

Error::Error(int number, QString description, ErrorDetail detail)
    : number_(number), description_(std::move(description)), detail_(std::move(detail)),
      what_(text().toStdString()) {}

}  // namespace tabulon
