#pragma once
// The words after a command, read against the options the command takes:
// "--name VALUE", "--name=VALUE", "-x VALUE", flags without a value, and the
// rest as positional words. "--" ends the options, so a file named like an
// option ("-book.xls") can be given after it. A word the command does not
// know is refused with a Japanese sentence, never guessed at.
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <map>
#include <string>
#include <optional>
#include <vector>

namespace tabulon::cli {

struct OptionSpec {
    const char* name;        // long name without "--"
    char shortName = 0;      // one letter, or 0
    bool takesValue = false;
};

class CommandLine {
public:
    CommandLine(const QStringList& args, std::initializer_list<OptionSpec> options);

    // The sentence that says what is wrong with the words; empty when none.
    const QString& error() const { return error_; }
    bool isSet(const char* name) const { return values_.count(name) > 0; }
    // The value given last (an option given twice takes the later one).
    QString value(const char* name, const QString& otherwise = {}) const;
    // Every value given, in order (an option that may be given repeatedly).
    QStringList values(const char* name) const;
    const QStringList& positional() const { return positional_; }

private:
    const OptionSpec* find(const QString& word) const;
    std::vector<OptionSpec> options_;
    std::map<std::string, QStringList> values_;
    QStringList positional_;
    QString error_;
};

// A whole number option (full-width digits too, as an input method types
// them): the value, or nothing with `error` set when the text is no whole
// number from `low` to `high`.
std::optional<int> numberOption(const CommandLine& line, const char* name, int low, int high, QString& error);

}  // namespace tabulon::cli
