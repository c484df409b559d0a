#include "common/Numbers.h"

namespace tabulon {

std::optional<qint64> wholeNumber(const QString& text) {
    const QString plain = text.normalized(QString::NormalizationForm_KC).trimmed();
    // toLongLong would also take "0x1F" and other forms nobody types as a number.
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QChar c = plain[i];
        if (!(c >= u'0' && c <= u'9') && !(i == 0 && (c == u'-' || c == u'+') && plain.size() > 1))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = plain.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

}  // namespace tabulon
