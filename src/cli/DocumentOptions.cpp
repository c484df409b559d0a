#include "cli/DocumentOptions.h"

#include "cli/CommandLine.h"
#include "reports/sheet/SheetDocument.h"

#include <QFileInfo>

namespace tabulon::cli {

namespace {

// An option of the window given by its number on the command line.
struct OptionFlag {
    const char* name;
    int count;
    OptionSetter set;
};
template <typename Option>
OptionFlag flag(const char* name) {
    return {name, intake::kOptionCount<Option>, [](intake::Session& s, int v) { s.setOption(Option(v)); }};
}
const OptionFlag kOptionFlags[] = {
    flag<intake::ObjectOption>("object"),     flag<intake::CellOption>("cell"),
    flag<intake::SheetSelection>("sheets"),   flag<intake::ProcedureOption>("proc"),
    flag<intake::ModuleSelection>("module"),  flag<intake::SourceColumns>("columns"),
    flag<intake::ShapeSelection>("shape"),    flag<intake::FileSelection>("file"),
};

// The sheet named on the command line as the session lists it (the
// spreadsheet compares sheet names without case).
QString listedSheet(const QString& name, const intake::Session& session) {
    for (const QString& sheet : session.sheetNames())
        if (sheet.compare(name, Qt::CaseInsensitive) == 0) return sheet;
    return {};
}

}  // namespace

std::variant<DocumentOptions, QString> readDocumentOptions(const QStringList& args) {
    const CommandLine line(args, {{"output", 'o', true}, {"object", 0, true}, {"cell", 0, true},
                                  {"sheets", 0, true}, {"proc", 0, true}, {"module", 0, true},
                                  {"columns", 0, true}, {"shape", 0, true}, {"file", 0, true},
                                  {"sheet", 0, true}, {"link", 0, true}, {"proc50"}, {"mod50"},
                                  {"save", 0, true}, {"password", 0, true}, {"zoom", 0, true}});
    if (!line.error().isEmpty()) return line.error();
    if (line.positional().size() != 1)
        return line.positional().isEmpty()
                   ? QStringLiteral("解析するブックを指定して下さい。")
                   : QStringLiteral("ブックは一つだけ指定して下さい（指定: %1）。").arg(line.positional().join(u' '));
    DocumentOptions options;
    options.workbook = QFileInfo(line.positional().front()).absoluteFilePath();
    options.outputFolder = line.value("output", QStringLiteral("out"));
    QString error;
    for (const OptionFlag& f : kOptionFlags) {
        if (!line.isSet(f.name)) continue;
        const std::optional<int> value = numberOption(line, f.name, 1, f.count, error);
        if (!value) return error;
        options.choices.emplace_back(f.set, *value);
    }
    if (line.isSet("link")) {
        const std::optional<int> link = numberOption(line, "link", 0, 9999, error);
        if (!link) return error;
        options.link = link;
    }
    if (line.isSet("zoom")) {
        options.zoom = line.value("zoom");
        if (!reports::sheet::parseZoom(options.zoom))
            return QStringLiteral("--zoom には 10 から 400 までの整数を指定して下さい（指定: 「%1」）。").arg(options.zoom);
    }
    if (line.isSet("sheet") && line.value("sheet").isEmpty())
        return QStringLiteral("--sheet にはシート名を指定して下さい。");
    if (line.isSet("save") && line.value("save").isEmpty())
        return QStringLiteral("--save には保存するファイル名を指定して下さい。");
    options.sheet = line.value("sheet");
    options.proc50 = line.isSet("proc50");
    options.mod50 = line.isSet("mod50");
    options.saveTo = line.isSet("save") ? QFileInfo(line.value("save")).absoluteFilePath() : QString();
    options.password = line.value("password");
    return options;
}

void applyOptions(const DocumentOptions& options, intake::Session& session) {
    for (const auto& [set, value] : options.choices) set(session, value);
    // One sheet named: the cell list takes the selected sheet.
    if (!options.sheet.isEmpty()) session.setOption(intake::SheetSelection::SelectedSheet);
    session.setProcedureKana(options.proc50);
    session.setSourceKana(options.mod50);
    if (!options.zoom.isEmpty()) {
        intake::Cover cover = session.cover();
        cover.zoom = options.zoom;
        session.setCover(cover);
    }
}

QString refusedByWorkbook(const DocumentOptions& options, const intake::Session& session) {
    if (!options.sheet.isEmpty() && listedSheet(options.sheet, session).isEmpty())
        return QStringLiteral("シート「%1」はこのブックにありません。\rシート: %2")
            .arg(options.sheet, session.sheetNames().join(QStringLiteral("、")));
    if (options.link && *options.link > session.linkItems().size())
        return session.linkItems().isEmpty()
                   ? QStringLiteral("--link %1: このブックにはリンク元がありません。").arg(*options.link)
                   : QStringLiteral("--link には 0 から %1 までの番号を指定して下さい（このブックのリンク元は %1 個です）。")
                         .arg(session.linkItems().size());
    return {};
}

QString selectedSheet(const DocumentOptions& options, const intake::Session& session) {
    // cboSheet2 starts at the first listed sheet.
    return options.sheet.isEmpty() ? session.sheetNames().value(0) : listedSheet(options.sheet, session);
}

QStringList printedSheets(const DocumentOptions& options, const intake::Session& session) {
    return options.sheet.isEmpty() ? session.sheetNames() : QStringList{listedSheet(options.sheet, session)};
}

QString chosenLink(const DocumentOptions& options, const intake::Session& session) {
    const int link = options.link.value_or(1);
    return link >= 1 ? session.linkItems().value(link - 1) : QString();
}

}  // namespace tabulon::cli
