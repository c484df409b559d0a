#pragma once
// The subcommands of the `tabulon` executable. Each lives in its own
// src/cli/<Name>Command.cpp as one function; add its declaration and a row to
// the table below. A command writes to `out` and `err` (never straight to the
// terminal, so tests can read them) and returns the process exit code.
//
// When a command runs, the program folder is already settled: `--home DIR`
// (anywhere on the line) has been taken out of `args` and put into
// TABULON_HOME, so intake::resolveAppFolder({}) finds it. A QGuiApplication
// exists (offscreen when there is no display), so painting and fonts work.
#include "cli/DocumentCommand.h"
#include "cli/DumpCommand.h"
#include "cli/InventoryCommand.h"
#include "cli/ReportCommand.h"

#include <QStringList>
#include <QTextStream>
#include <vector>

namespace tabulon::cli {

using CommandFunction = int (*)(const QStringList& args, QTextStream& out, QTextStream& err);

struct CommandInfo {
    const char* name;
    const char* help;  // one line for `tabulon --help`
    CommandFunction run;
};

int initCommand(const QStringList& args, QTextStream& out, QTextStream& err);

inline const std::vector<CommandInfo>& commandTable() {
    static const std::vector<CommandInfo> table{
        {"init", "プログラムフォルダに Tabulon2.dat、Tabulon2.mdb、temp/ が無ければ作成: init",
         &initCommand},
        {"dump", "ブックの読み取り結果を表示: dump [--json] BOOK", &dumpCommand},
        {"document", "ブックの仕様書を PDF に出力: document BOOK [-o DIR] [オプション]",
         &documentCommand},
        {"report", "保存済みレポートを PDF に出力: report NAME [NAME...] --db FILE --pdf OUT.pdf",
         &reportCommand},
        {"inventory", "フォルダ内の全ブックを一つのデータベースに: inventory ROOT... --db ESTATE.sqlite",
         &inventoryCommand},
    };
    return table;
}

inline const CommandInfo* findCommand(const QString& name) {
    for (const CommandInfo& c : commandTable()) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

}  // namespace tabulon::cli
