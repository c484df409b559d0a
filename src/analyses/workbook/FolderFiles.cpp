#include "analyses/workbook/FolderFiles.h"

#include "analyses/workbook/WorkbookText.h"
#include "host/PathParts.h"
#include "store/Database.h"
#include "store/AnalysisTables.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace tabulon::analyses::workbook {

std::optional<FileFacts> fileFacts(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) return std::nullopt;
    FileFacts facts;
    facts.sizeKb = double(info.size()) / 1024.0;
    facts.modified = info.lastModified();
    facts.readOnly = !(info.permissions() & QFileDevice::WriteOwner);
    return facts;
}

namespace {

bool hasRelatedExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 && dot + 1 < name.size() && name[dot + 1].toLower() == u'x';
}

QString withSeparator(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

FileEntry foundEntry(const QFileInfo& info) {
    return FileEntry{info.fileName(), withSeparator(info.absolutePath()), fileFacts(info.absoluteFilePath())};
}

}  // namespace

std::vector<FileEntry> folderFiles(const QString& folder, bool related) {
    // Hidden files (dot-files) and every link to a folder stay out; a link
    // to a file counts as the file it points to.
    const QFileInfoList infos = QDir(folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    std::vector<FileEntry> entries;
    for (const QFileInfo& info : infos) {
        if (!info.isFile() || info.fileName().startsWith(u'.')) continue;
        if (related && !hasRelatedExtension(info.fileName())) continue;
        entries.push_back(FileEntry{info.fileName(), withSeparator(folder), fileFacts(info.filePath())});
    }
    std::sort(entries.begin(), entries.end(),
              [](const FileEntry& a, const FileEntry& b) { return a.name < b.name; });
    return entries;
}

FileEntry linkSourceEntry(const QString& stored, const QString& workbookFolder) {
    const QString name = host::GetFileNamePart(stored);
    const QDir home(workbookFolder);
    for (const QString& candidate : {home.absoluteFilePath(QString(stored).replace(u'\\', u'/')),
                                     name.isEmpty() ? QString() : home.absoluteFilePath(name)}) {
        const QFileInfo info(candidate);
        if (!candidate.isEmpty() && info.isFile()) return foundEntry(info);
    }
    return FileEntry{name, host::GetFolderPart(stored), std::nullopt};
}

void setFileFacts(store::Table& t, const std::optional<FileFacts>& facts) {
    if (!facts) return;
    t.set(QStringLiteral("FileSize"), facts->sizeKb);
    t.set(QStringLiteral("UpdateDate"), facts->modified);
    t.set(QStringLiteral("ReadOnly"), facts->readOnly ? 1 : 0);
}

namespace {

std::vector<FileEntry> listedFiles(const WorkbookContext& ctx, FileSelection selection) {
    const QString folder = host::GetFolderPart(ctx.workbookPath);
    if (selection != FileSelection::LinkSources)
        return folderFiles(folder, selection == FileSelection::Related);
    std::vector<FileEntry> entries;
    for (const QString& source : openWorkbook(ctx).linkSources(host::LinkExcel))
        entries.push_back(linkSourceEntry(cutThenTrim(source, 255), folder));
    return entries;
}

}  // namespace

code::CodeOutcome runFolderFiles(const WorkbookContext& ctx, const FileOptions& options) {
    code::CodeOutcome out;
    out.doneMark = options.tableSelection;
    code::runGuarded(ctx.messages, FilePlace, out, [&] {
        if (int(options.selection) != options.tableSelection) {
            // From here on the table no longer holds an earlier run's rows.
            out.collected = true;
            collectInto(ctx, QStringLiteral("T_XlFile"), FileCollectingText,
                        [&](store::Table& table) {
                qint64 fileNo = 0;
                for (const FileEntry& entry : listedFiles(ctx, options.selection)) {
                    table.addNew();
                    table.set(QStringLiteral("FileNo"), ++fileNo);
                    table.set(QStringLiteral("XFileName"), entry.name);
                    table.set(QStringLiteral("FilePath"), entry.folder);
                    setFileFacts(table, entry.facts);
                    table.update();
                    ++out.rows;
                }
            });
        }
        finishChapter(ctx, out, int(options.selection));
    });
    return out;
}

}  // namespace tabulon::analyses::workbook
