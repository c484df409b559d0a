// The file list: which files of the folder each option lists and in which
// order, the file facts, and link sources found as stored, beside the
// workbook or nowhere.
#include "analyses/workbook/FolderFiles.h"
#include "workbook_support.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tabulon;
using namespace tabulon::analyses::workbook;
using tabulon::test::workbook::lines;

using tabulon::intake::FileSelection;

namespace {

void touch(const QString& path, int bytes = 0) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(bytes, 'x'));
}

QStringList names(const std::vector<FileEntry>& entries) {
    QStringList out;
    for (const auto& e : entries) out << e.name;
    return out;
}

}  // namespace

TEST(FolderListing, RelatedFilesHaveAnExtensionStartingWithX) {
    QTemporaryDir dir;
    const QString d = dir.path() + u'/';
    for (const char* name : {"Book1.xls", "Book1.xlt", "notes.txt", "result.xdb", "UPPER.XLS", ".hidden.xls", "noext"})
        touch(d + name);
    QDir(d).mkdir("sub.xls");
    QFile::link(d, d + "loop.xls");  // a directory link back to the folder itself
    EXPECT_EQ(names(folderFiles(d, true)), QStringList({"Book1.xls", "Book1.xlt", "UPPER.XLS", "result.xdb"}));
    EXPECT_EQ(names(folderFiles(d, false)),
              QStringList({"Book1.xls", "Book1.xlt", "UPPER.XLS", "noext", "notes.txt", "result.xdb"}));
    EXPECT_EQ(folderFiles(d, false).front().folder, d);
}

TEST(FolderListing, FactsGiveKilobytesAndTheReadOnlyState) {
    QTemporaryDir dir;
    const QString file = dir.path() + "/a.xls";
    touch(file, 1536);
    EXPECT_DOUBLE_EQ(fileFacts(file).value().sizeKb, 1.5);
    EXPECT_FALSE(fileFacts(file)->readOnly);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_TRUE(fileFacts(file)->readOnly);
    EXPECT_FALSE(fileFacts(dir.path()));
}

TEST(FileCommand, MissingLinkSourceKeepsItsRowAndTheListGoesOn) {
    test::workbook::BookSpace space;
    xlsw::XlsWriter w;
    w.addSheet("Sheet1");
    for (const char* book : {"C:\\data\\Prices.xls", "E:\\gone\\Lost.xls", "D:\\x\\Rates.xls"})
        w.addExternalSheet(book, "Sheet1");
    touch(space.folder() + "Prices.xls", 2048);
    touch(space.folder() + "Rates.xls");
    space.open(w);
    const auto out = runFolderFiles(space.context(), {FileSelection::LinkSources, 0});
    ASSERT_EQ(out.end, analyses::code::CodeOutcome::End::Report) << out.message.toStdString();
    // Found beside the workbook, or kept as stored with no size and no state.
    const QString here = space.folder();
    EXPECT_EQ(lines(space.rows("select FileNo, XFileName, FileSize, FilePath, ReadOnly from T_XlFile order by ID"), "-"),
              (QStringList{"1|Prices.xls|2|" + here + "|0", "2|Lost.xls|-|E:\\gone\\|-",
                           "3|Rates.xls|0|" + here + "|0"}));
}

TEST(FileCommand, SameFolderListsTheWorkbookItselfOnce) {
    test::workbook::BookSpace space;
    xlsw::XlsWriter w;
    w.addSheet("Sheet1");
    space.open(w, "books/Book1.xls");
    touch(space.folder() + "books/notes.txt");
    EXPECT_EQ(runFolderFiles(space.context(), {FileSelection::Related, 0}).rows, 1);
    EXPECT_FALSE(runFolderFiles(space.context(), {FileSelection::Related, 1}).collected);
    EXPECT_EQ(runFolderFiles(space.context(), {FileSelection::AllInFolder, 1}).rows, 2);
    EXPECT_EQ(space.rows("select XFileName from T_XlFile order by ID").back()[0].toString(), "notes.txt");
}
