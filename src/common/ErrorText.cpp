#include "common/ErrorText.h"

namespace tabulon {

bool isUnstable(int number) { return number >= 2449 && number <= 2999; }

QString genericErrorText(const QString& place, int number, const QString& description,
                         const ErrorStyle& style) {
    return place + style.numberLead + QString::number(number) + u'\r' + style.requestLine +
           QStringLiteral("\r内容:") + description;
}

QString errorText(const QString& place, int number, const QString& description,
                  const ErrorStyle& style) {
    if (!isUnstable(number))
        return genericErrorText(place, number, description, style);
    return place + style.numberLead + QString::number(number) +
           QStringLiteral("\rシステムが不安定です。\r詳細はヘルプを参照下さい。\rシステムを終了します。");
}

QString errorText(const Error& error, const ErrorStyle& style) {
    return errorText(error.place(), error.number(), error.text(), style);
}

}  // namespace tabulon
