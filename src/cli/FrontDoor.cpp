#include "cli/FrontDoor.h"

#include <QFileInfo>

namespace tabulon::cli {

namespace {

struct UsageText {
    const char* command;
    const char* text;
};

// Option names stay as typed; everything a user reads is Japanese.
const UsageText kUsages[] = {
    {"init",
     "使い方: tabulon [--home DIR] init\n"
     "  プログラムフォルダに Tabulon2.dat、Tabulon2.mdb、temp/ のうち無いものを作成します。\n"
     "  既にあるファイルはそのまま残します。\n"},
    {"dump",
     "使い方: tabulon dump [--json] [--password PASSWORD] BOOK\n"
     "  ブックの読み取り結果（シート、セル、数式、名前、リンク、VBA）を表示します。\n"
     "  --json    JSON 形式で出力します\n"
     "  --password PASSWORD  暗号化されたブックのパスワード（既定: 環境変数 TABULON_PASSWORD）\n"},
    {"document",
     "使い方: tabulon [--home DIR] document BOOK [-o DIR] [オプション]\n"
     "  ブックを解析し、章ごとの PDF と全章をまとめた documentation.pdf を作成します。\n"
     "  BOOK は .xls、.xlsx、.xlsm、.xlsb、.xltx、.xltm、.xlam、.xlt、.xla のブックです。\n"
     "  -o, --output DIR   PDF の出力先フォルダ（既定: out）\n"
     "  --object N         1 ブック情報、2 ｵﾌﾞｼﾞｪｸﾄ情報(簡易)、3 ｵﾌﾞｼﾞｪｸﾄ情報(詳細)\n"
     "  --cell N           1 計算式、2 コメント、3 両方該当\n"
     "  --sheets N         1 全てのシート、2 選択したシート\n"
     "  --proc N           1 ﾌﾟﾛｼｰｼﾞｬ一覧(簡易)、2 ﾌﾟﾛｼｰｼﾞｬ一覧(詳細)\n"
     "  --module N         1 標準、2 クラス、3 フォーム、4 ブック、5 シート、6 全て\n"
     "  --columns N        ソースリストの列数: 1 １列、2 ２列\n"
     "  --shape N          1 マクロ、2 全て、3 全て(ｺﾒﾝﾄ除く)\n"
     "  --file N           1 同一ﾌｫﾙﾀﾞ(関連)、2 ﾘﾝｸ元参照、3 同一ﾌｫﾙﾀﾞ(全て)\n"
     "  --sheet NAME       このシートだけ: セル情報リストを「選択したシート」で作り、\n"
     "                     シート印刷もこのシートだけにします（既定: 全てのシート）\n"
     "  --link N           リンク先セル検索に使う N 番目のリンク元（0: 検索しない、既定: 1）\n"
     "  --zoom N           シート印刷の倍率（10〜400 %、既定: 画面のズーム）\n"
     "  --password PASSWORD  暗号化されたブックのパスワード（既定: 環境変数 TABULON_PASSWORD）\n"
     "  --proc50           プロシージャ一覧を五十音順にします\n"
     "  --mod50            ソースリストを五十音順にします\n"
     "  --save FILE.xdb    終了時に解析結果ファイルとして保存します（解析ファイルの保存と同じ）\n"
     "  --                 以降の語をファイル名として扱います（「-」で始まるブック名に）\n"
     "  オプションの番号は画面の選択肢の順です。指定しなければ、画面の既定値で\n"
     "  各コマンドを一度ずつ実行したのと同じ結果になります。\n"
     "  終了コード: 0 完了、1 失敗、2 コマンドラインの誤り、\n"
     "             3 仕様書が不完全（読み込みの警告、または作成できなかった章があります）\n"},
    {"report",
     "使い方: tabulon report NAME [NAME...] --db FILE --pdf OUT.pdf\n"
     "  解析データベースに保存されたレポートを、指定の順に一つの PDF に出力します。\n"
     "  --db FILE      解析データベース（Tabulon2.mdb または .xdb）\n"
     "  --pdf OUT.pdf  出力する PDF ファイル\n"},
    {"inventory",
     "使い方: tabulon inventory ROOT... --db ESTATE.sqlite [-j N] [--exclude GLOB]... [--timeout S]\n"
     "        tabulon inventory --list ROOT... [--exclude GLOB]... > files.txt\n"
     "        tabulon inventory --files files.txt [--shard K/N] --db part-K.sqlite [-j N]\n"
     "        tabulon inventory --merge part-*.sqlite --db ESTATE.sqlite\n"
     "        tabulon inventory --report ESTATE.sqlite -o DIR\n"
     "  フォルダの下の全ファイルを調べ、中身がブックであるものを読み、ファイルごとの集計と\n"
     "  リンク・自動実行マクロ・ボタンのマクロ・アドイン・モジュールをデータベースに記録します。\n"
     "  二回目からは、大きさか更新日時の変わったファイルだけを読み直します。中断しても、\n"
     "  もう一度実行すれば続きから読みます。ブックに書き込むことも、マクロを動かすことも、\n"
     "  リンクをたどってフォルダの外に出ることもありません。\n"
     "  --db FILE         データベース（無ければ作成。ローカルディスク上に置いてください）\n"
     "  -j, --jobs N      同時に読むプロセスの数（既定: CPU の数）\n"
     "  --exclude GLOB    除外するファイル・フォルダ（/ を含まなければ名前、含めばパスと照合）\n"
     "  --timeout S       一つのファイルにかける時間の上限（秒、既定: 60）\n"
     "  --memory MB       一つのファイルに使うメモリの上限（MB、既定: 2048）\n"
     "  --verify-hash     大きさと更新日時が同じでも、内容のハッシュで変更を確かめます\n"
     "  --retry-failed    前に読めなかったファイルも読み直します\n"
     "  --list            ファイルの一覧（作業リスト）を標準出力に書きます\n"
     "  --files LIST      作業リストのファイルを読みます（- は標準入力）\n"
     "  --shard K/N       作業リストを N 分割した K 番目だけを読みます（パスのハッシュで分割）\n"
     "  --merge           分割して作ったデータベースを --db に一つにまとめます\n"
     "  --report DB       集計の PDF とリンク関係図（Graphviz DOT、dot があれば SVG も）を作成します\n"
     "  -o, --output DIR  --report の出力先フォルダ\n"
     "  終了コード: 0 完了、1 完了（読めなかったブックあり）、2 引数またはデータベースの誤り\n"},
};

bool asksForHelp(const QString& word) {
    return word == QLatin1String("--help") || word == QLatin1String("-h");
}

}  // namespace

QString takeHome(QStringList& args) {
    QString home;
    for (qsizetype i = 0; i < args.size() && args[i] != QLatin1String("--");) {
        if (args[i] == QLatin1String("--home") && i + 1 < args.size()) {
            home = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(QLatin1String("--home="))) {
            home = args[i].mid(7);
            args.remove(i);
        } else {
            ++i;
        }
    }
    return home;
}

bool takeVerbose(QStringList& args) {
    return args.removeAll(QStringLiteral("--verbose")) > 0;
}

Route route(const QStringList& args) {
    if (args.isEmpty()) return {};
    const QString& first = args.first();
    if (asksForHelp(first)) return {Route::Kind::Usage, nullptr, {}, 0};
    if (first == QLatin1String("help")) return {Route::Kind::Usage, nullptr, {}, 2};
    if (const CommandInfo* command = findCommand(first))
        return {Route::Kind::Command, command, args.mid(1), 0};
    const bool resultsFile = first.endsWith(QLatin1String(".xdb"), Qt::CaseInsensitive) ||
                             QFileInfo(first).isFile();
    if (args.size() == 1 && resultsFile && !first.startsWith(u'-')) return {Route::Kind::Window, nullptr, args, 0};
    return {Route::Kind::Usage, nullptr, {}, 2};
}

QString usageText() {
    QString text = QStringLiteral(
        "使い方: tabulon [--home DIR] [RESULT.xdb]     画面を開きます（解析結果ファイルを指定できます）\n"
        "        tabulon [--home DIR] COMMAND [ARGS]   画面を開かずにコマンドを実行します\n\n"
        "--home DIR   プログラムフォルダ（設定、Tabulon2.mdb、temp/）。既定は環境変数 TABULON_HOME、\n"
        "             無ければ実行ファイルのフォルダ\n"
        "--verbose    ライブラリのメッセージや技術的な詳細も表示します\n\n"
        "コマンド（COMMAND --help で各コマンドの使い方）:\n");
    for (const CommandInfo& c : commandTable())
        text += QStringLiteral("  %1  %2\n").arg(QLatin1String(c.name), -10).arg(QString::fromUtf8(c.help));
    return text;
}

QString commandUsage(const CommandInfo& command) {
    for (const UsageText& u : kUsages)
        if (qstrcmp(u.command, command.name) == 0) return QString::fromUtf8(u.text);
    return QStringLiteral("使い方: tabulon %1\n  %2\n")
        .arg(QLatin1String(command.name), QString::fromUtf8(command.help));
}

int runCommand(const CommandInfo& command, const QStringList& args, QTextStream& out, QTextStream& err) {
    for (const QString& a : args) {
        if (a == QLatin1String("--")) break;
        if (asksForHelp(a)) {
            out << commandUsage(command);
            return 0;
        }
    }
    return command.run(args, out, err);
}

}  // namespace tabulon::cli
