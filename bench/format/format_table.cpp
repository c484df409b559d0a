// Prints cell display texts for a table of format codes and values, one
// "code<TAB>value" per input line; a value "s:..." is a text value, any other a
// number. Output: code|value|text, without the "*x" fill (it depends on the
// cell's width) and with "_x" spacing as a blank. --builtins prints the built-in
// format codes, one a line. --speed N formats N values through a mix of
// codes and prints the rate.
#include "host/format/NumberFormat.h"

#include <QElapsedTimer>
#include <QString>
#include <cstdio>
#include <iostream>
#include <string>

using namespace tabulon::host::format;

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--builtins") {
        for (int id = 0; id < 164; ++id) {
            const QString code = builtinFormatCode(id);
            if (!code.isEmpty()) std::cout << code.toStdString() << '\n';
        }
        return 0;
    }
    if (argc > 2 && std::string(argv[1]) == "--speed") {
        const long long n = std::stoll(argv[2]);
        const QString codes[] = {QStringLiteral("General"), QStringLiteral("#,##0.00;[Red]\\-#,##0.00"),
                                 QStringLiteral("yyyy/m/d h:mm"), QStringLiteral("[$-411]ggge\"年\"m\"月\"d\"日\""),
                                 QStringLiteral("0.00%"), QStringLiteral("# ?/?")};
        QElapsedTimer timer;
        timer.start();
        qsizetype characters = 0;
        for (long long i = 0; i < n; ++i)
            characters += formatNumber(double(i % 50000) * 1.37, codes[i % 6]).text.size();
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        std::printf("%lld values in %.3f s: %.0f values/s (%lld characters)\n", n, seconds, double(n) / seconds,
                    static_cast<long long>(characters));
        return 0;
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        const size_t tab = line.rfind('\t');
        if (tab == std::string::npos) continue;
        const QString code = QString::fromStdString(line.substr(0, tab));
        const std::string value = line.substr(tab + 1);
        const Display d = value.rfind("s:", 0) == 0 ? formatText(QString::fromStdString(value.substr(2)), code)
                                              : formatNumber(std::stod(value), code);
        std::cout << line.substr(0, tab) << '|' << value << '|' << d.text.toStdString() << '\n';
    }
    return 0;
}
