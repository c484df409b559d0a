#include "cli/DocumentOutput.h"

#include "common/Error.h"
#include "common/SafeFile.h"

#include <QDir>

namespace tabulon::cli {

std::shared_ptr<reports::ReportDocument> gapsDocument(const Gaps& gaps) {
    reports::ReportDef def;
    def.name = def.title = QStringLiteral("読み込みの警告");
    def.fontPt = 9;
    def.columns = {{QStringLiteral("No"), QStringLiteral("No"), 1, reports::Align::Right, false, {}},
                   {QStringLiteral("内容"), QStringLiteral("Text"), 14, reports::Align::Left, true, {}}};
    std::vector<QString> cells;
    int number = 0;
    const auto add = [&](const QString& text, bool numbered) {
        cells.push_back(numbered ? QString::number(++number) : QString());
        cells.push_back(text);
    };
    if (!gaps.readWarnings.isEmpty())
        add(QStringLiteral("ブックの一部が壊れていたため、読み飛ばした箇所があります（%1 件、下に読み取りの詳細）。"
                           "その部分はこの仕様書に載っていません。")
                .arg(gaps.readWarnings.size()),
            false);
    for (const QString& warning : gaps.readWarnings) add(warning, true);
    for (const QString& chapter : gaps.failedChapters)
        add(QStringLiteral("この章は作成できませんでした: ") + chapter, true);
    return std::make_shared<reports::ReportDocument>(
        std::move(def), reports::ReportData({QStringLiteral("No"), QStringLiteral("Text")}, std::move(cells)),
        QString());
}

QString outputFolderProblem(const QString& folder, int errorNumber) {
    return QStringLiteral("出力先のフォルダ「%1」を作成できません。\r理由: %2").arg(folder, systemReason(errorNumber));
}

void writeDocumentationFiles(const QString& folder, const reports::DocumentList& documents,
                             const QStringList& names, const QString& workbookFile, QTextStream& out) {
    if (documents.empty()) return;
    if (const int failed = makeFolders(folder))
        throw Error(err::PathFileAccess, outputFolderProblem(folder, failed));
    removeStaleParts(folder);
    const QDir dir(folder);
    QStringList files;
    for (size_t i = 0; i < documents.size(); ++i)
        files << dir.filePath(QStringLiteral("%1_%2.pdf").arg(i + 1, 2, 10, QLatin1Char('0')).arg(names.value(int(i))));
    const QString combined = dir.filePath(QStringLiteral("documentation.pdf"));
    const int pages =
        reports::writeDocumentation(documents, files, combined, workbookFile + QStringLiteral(" プログラム仕様書"));
    out << QStringLiteral("全章: ") << combined << QStringLiteral("（%1 ページ）").arg(pages) << Qt::endl;
    for (const QString& f : files) out << f << Qt::endl;
    out << combined << Qt::endl;
}

}  // namespace tabulon::cli
