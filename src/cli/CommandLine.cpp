#include "cli/CommandLine.h"

#include "common/Numbers.h"

namespace tabulon::cli {

CommandLine::CommandLine(const QStringList& args, std::initializer_list<OptionSpec> options)
    : options_(options) {
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size() && error_.isEmpty(); ++i) {
        const QString& word = args[i];
        if (optionsEnded || !word.startsWith(u'-') || word == QLatin1String("-")) {
            positional_ << word;
            continue;
        }
        if (word == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = word.startsWith(QLatin1String("--")) ? word.indexOf(u'=') : -1;
        const QString name = equals < 0 ? word : word.left(equals);
        const OptionSpec* spec = find(name);
        if (!spec) {
            error_ = QStringLiteral("「%1」というオプションはありません。").arg(name);
            if (word.size() > 2 && !word.startsWith(QLatin1String("--")))
                error_ += QStringLiteral("\r「-」で始まるファイル名は「--」の後に指定して下さい。");
        } else if (!spec->takesValue && equals >= 0) {
            error_ = QStringLiteral("オプション %1 には値を指定できません。").arg(name);
        } else if (!spec->takesValue) {
            values_[spec->name] << QString();
        } else if (equals >= 0) {
            values_[spec->name] << word.mid(equals + 1);
        } else if (i + 1 < args.size()) {
            values_[spec->name] << args[++i];
        } else {
            error_ = QStringLiteral("オプション %1 の後に値を指定して下さい。").arg(name);
        }
    }
}

const OptionSpec* CommandLine::find(const QString& word) const {
    for (const OptionSpec& o : options_) {
        if (word == QLatin1String("--") + QLatin1String(o.name) ||
            (o.shortName && word.size() == 2 && word[1] == QLatin1Char(o.shortName)))
            return &o;
    }
    return nullptr;
}

QString CommandLine::value(const char* name, const QString& otherwise) const {
    const auto it = values_.find(name);
    return it == values_.end() ? otherwise : it->second.constLast();
}

QStringList CommandLine::values(const char* name) const {
    const auto it = values_.find(name);
    return it == values_.end() ? QStringList() : it->second;
}

std::optional<int> numberOption(const CommandLine& line, const char* name, int low, int high, QString& error) {
    const std::optional<qint64> value = wholeNumber(line.value(name));
    if (value && *value >= low && *value <= high)
        return int(*value);
    error = QStringLiteral("--%1 には %2 から %3 までの整数を指定して下さい（指定: 「%4」）。")
                .arg(QLatin1String(name))
                .arg(low)
                .arg(high)
                .arg(line.value(name));
    return std::nullopt;
}

}  // namespace tabulon::cli
