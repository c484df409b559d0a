// Writing the exported module files: folder containment for hostile names,
// encoding, counts, and clean errors on damaged workbooks.
#include "support/TestSupport.h"

#include "common/Error.h"
#include "host/vba/Project.h"
#include "host/dump/VbaJson.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using tabulon::Error;
using tabulon::test::fixture;
using namespace tabulon::vba;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList filesUnder(const QString& root) {
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

QStringList names(const Project& project) {
    QStringList out;
    for (const Component& c : project.components()) out << c.name;
    return out;
}

// standard, class, form and document modules written
std::vector<int> counts(const ExportResult& r) {
    return {r.standardCount, r.classCount, r.formCount, r.documentCount};
}

}  // namespace

TEST(VbaExport, HostileNamesStayInsideTheTargetFolder) {
    QTemporaryDir sandbox;
    const QString folder = sandbox.path() + "/deep/work";
    const Project project = Project::load(fixture("xls/crafted/hostile_names.xls"));
    const ExportResult result = project.exportAll(folder);
    EXPECT_EQ(result.files.size(), 10);
    const QString longName = project.components()[7].fileName;
    QStringList expected = {"Ctl_Name.bas", "Module1.bas", "Sheet1.sht", "Sheet2.sht", "Sheet3.sht", "ThisWorkbook.bok",
                            "_.._.._evil.bas", "_CON.cls", "a_b.bas", longName};
    expected.replaceInStrings(QRegularExpression("^"), "deep/work/");
    expected.sort();
    EXPECT_EQ(filesUnder(sandbox.path()), expected);
    EXPECT_LE(longName.toUtf8().size(), 124);
    // The real names stay the components' names.
    EXPECT_EQ(names(project).mid(4, 3), (QStringList{"..\\..\\evil", "a/b", "CON"}));
    EXPECT_EQ(counts(result), (std::vector<int>{5, 1, 0, 4}));
}

TEST(VbaExport, FilesAreUtf8WithCrlfAndReplaceEarlierOnes) {
    QTemporaryDir folder;
    const Project project = Project::load(fixture("xls/crafted/japanese_vba.xls"));
    QFile stale(folder.path() + "/集計処理.bas");
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray(100000, 'x'));
    stale.close();
    EXPECT_EQ(counts(project.exportAll(folder.path())), (std::vector<int>{3, 1, 0, 4}));
    for (const Component& c : project.components()) {
        const QByteArray bytes = readAll(folder.path() + "/" + c.fileName);
        EXPECT_EQ(bytes, c.exportText.toUtf8()) << c.name.toStdString();
        EXPECT_FALSE(bytes.contains("\n\n")) << "bare LF in " << c.name.toStdString();
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    }
}

TEST(VbaExport, FormWritesItsFrxBeside) {
    QTemporaryDir folder;
    const ExportResult result = Project::load(fixture("xls/poi/ex42570-20305.xls")).exportAll(folder.path());
    EXPECT_EQ(counts(result), (std::vector<int>{1, 0, 1, 3}));
    EXPECT_TRUE(QFileInfo(folder.path() + "/UserForm1.frm").isFile());
    EXPECT_TRUE(readAll(folder.path() + "/UserForm1.frx").startsWith(QByteArray::fromHex("d0cf11e0")));
}

// Workbooks cut short, and bytes flipped throughout the second half of one
// (where the VBA storage with its dir, PROJECT and module streams lies):
// each loads with bounded texts or fails with a described error.
TEST(VbaExport, DamagedWorkbooksGiveCleanErrors) {
    QTemporaryDir folder;
    const QString path = folder.path() + "/damaged.xls";
    const auto check = [&](const std::string& what, const QByteArray& bytes) {
        SCOPED_TRACE(what);
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        try {
            const Project project = Project::load(path);
            for (const Component& c : project.components())
                EXPECT_LT(c.exportText.size(), 1 << 20);
        } catch (const Error& error) {
            EXPECT_FALSE(error.description().isEmpty());
        }
    };
    for (const char* name : {"xls/crafted/hostile_names.xls", "xls/poi/ex42570-20305.xls"}) {
        const QByteArray good = readAll(fixture(name));
        for (qint64 cut = 0; cut < good.size(); cut += 509)
            check(std::string(name) + " cut at " + std::to_string(cut), good.left(cut));
    }
    const QByteArray good = readAll(fixture("xls/crafted/japanese_vba.xls"));
    for (qint64 at = good.size() / 2; at < good.size(); at += 97) {
        QByteArray bytes = good;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
        check("flipped at " + std::to_string(at), bytes);
    }
}

TEST(VbaExport, MissingWorkbookIsFileNotFound) {
    try {
        Project::load("/nonexistent/book.xls");
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), tabulon::err::FileNotFound);
    }
}

TEST(VbaJsonDump, DescribesComponentsWithTheirExportText) {
    const QJsonObject json = vbaJson(fixture("xls/poi/SimpleMacro.xls"));
    EXPECT_TRUE(json["present"].toBool());
    EXPECT_FALSE(json["protected"].toBool());
    EXPECT_EQ(json["codePage"].toInt(), 1252);
    const QJsonArray components = json["components"].toArray();
    ASSERT_EQ(components.size(), 5);
    QJsonObject first = components[0].toObject();
    EXPECT_TRUE(first.take("text").toString().startsWith("Attribute VB_Name = \"Module1\"\r\n"));
    EXPECT_EQ(first, (QJsonObject{{"name", "Module1"}, {"type", 1}, {"file", "Module1.bas"}}));
    EXPECT_EQ(components[1].toObject()["type"].toInt(), 100);
}

TEST(VbaJsonDump, LockedProjectListsNamesWithoutText) {
    const QJsonObject json = vbaJson(fixture("xls/poi/31749.xls"));
    EXPECT_TRUE(json["protected"].toBool());
    const QJsonArray components = json["components"].toArray();
    ASSERT_EQ(components.size(), 6);
    EXPECT_EQ(components[0].toObject()["type"].toInt(), 3);
    EXPECT_FALSE(components[0].toObject().contains("text"));
}

TEST(VbaJsonDump, NoProjectAndDamagedFile) {
    EXPECT_FALSE(vbaJson(fixture("xls/poi/comments.xls"))["present"].toBool());
    const QJsonObject damaged = vbaJson(fixture("xls/calamine/too_small.xls"));
    EXPECT_FALSE(damaged["present"].toBool());
    EXPECT_EQ(damaged["error"].toObject()["number"].toInt(), tabulon::err::Refused);
}
