// The VBA projects of the shared fixtures: component order, kinds, file
// names and the editor's export format; the exported files (folder
// containment for hostile names, encoding, counts), clean errors on damaged
// workbooks, and the dump's JSON of a project.
#include "support/TestSupport.h"

#include "common/Error.h"
#include "host/ReadFailure.h"
#include "host/Workbook.h"
#include "host/dump/VbaJson.h"
#include "host/vba/FormBinary.h"
#include "host/vba/Project.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>
#include <gtest/gtest.h>

using tabulon::Error;
using tabulon::test::fixture;
using namespace tabulon::vba;

namespace {

const QString ClassHeader = QStringLiteral("VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n");

QStringList names(const Project& project) {
    QStringList out;
    for (const Component& c : project.components())
        out << c.name;
    return out;
}

const Component& named(const Project& project, const QString& name) {
    for (const Component& c : project.components())
        if (c.name == name)
            return c;
    throw std::runtime_error("no component " + name.toStdString());
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QStringList filesUnder(const QString& root) {
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

// standard, class, form and document modules written
std::vector<int> counts(const ExportResult& r) {
    return {r.standardCount, r.classCount, r.formCount, r.documentCount};
}

// The stored source as the editor exports it for a class-like module: the
// three storage-only attribute lines go, nothing else changes.
QString classExportOf(const QString& storedSource) {
    QStringList kept;
    for (const QString& line : storedSource.split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QLatin1String("Attribute VB_Base =")) ||
            line.startsWith(QLatin1String("Attribute VB_TemplateDerived =")) ||
            line.startsWith(QLatin1String("Attribute VB_Customizable =")))
            continue;
        kept << line;
    }
    return ClassHeader + kept.join(QStringLiteral("\r\n"));
}

}  // namespace

TEST(VbaFixtures, SimpleMacroListsComponentsInCollectionOrderWithTheirKinds) {
    const Project project = Project::load(fixture("xls/poi/SimpleMacro.xls"));
    ASSERT_TRUE(project.isPresent());
    EXPECT_FALSE(project.isProtected());
    EXPECT_EQ(project.codePage(), 1252);
    EXPECT_EQ(names(project), (QStringList{"Module1", "ThisWorkbook", "Sheet1", "Sheet2", "Sheet3"}));
    const Component& module = named(project, "Module1");
    EXPECT_EQ(module.type, ComponentType::Standard);
    EXPECT_EQ(module.fileName, "Module1.bas");
    EXPECT_TRUE(module.exportText.startsWith("Attribute VB_Name = \"Module1\"\r\nSub TestMacro()\r\n"));
    EXPECT_TRUE(module.exportText.endsWith("    Range(\"A2\").Select\r\nEnd Sub\r\n"));
    EXPECT_EQ(named(project, "ThisWorkbook").fileName, "ThisWorkbook.bok");
    EXPECT_EQ(named(project, "Sheet2").fileName, "Sheet2.sht");
}

TEST(VbaFixtures, ClassModulesOfAProjectInCodePage1251) {
    const Project project = Project::load(fixture("xls/poi/39234.xls"));
    EXPECT_EQ(project.codePage(), 1251);
    const Component& util = named(project, "UTIL");
    EXPECT_EQ(util.type, ComponentType::Class);
    EXPECT_EQ(util.fileName, "UTIL.cls");
    EXPECT_TRUE(util.exportText.startsWith(ClassHeader + "Attribute VB_Name = \"UTIL\"\r\n"));
    EXPECT_FALSE(util.exportText.contains("VB_Base"));
    EXPECT_EQ(named(project, "Loader").type, ComponentType::Class);
    EXPECT_EQ(named(project, "JML").type, ComponentType::Standard);
}

TEST(VbaFixtures, UserFormExportsDesignerTextAndBlobReference) {
    const Project project = Project::load(fixture("xls/poi/ex42570-20305.xls"));
    const Component& form = named(project, "UserForm1");
    EXPECT_EQ(form.type, ComponentType::Form);
    EXPECT_EQ(form.fileName, "UserForm1.frm");
    EXPECT_TRUE(form.exportText.startsWith(
        "VERSION 5.00\r\n"
        "Begin {C62A69F0-16DC-11CE-9E98-00AA00574A4F} UserForm1 \r\n"
        "   Caption         =   \"UserForm1\"\r\n"
        "   ClientHeight    =   3120\r\n"
        "   ClientLeft      =   45\r\n"
        "   ClientTop       =   435\r\n"
        "   ClientWidth     =   4710\r\n"
        "   OleObjectBlob   =   \"UserForm1.frx\":0000\r\n"
        "   StartUpPosition =   1  'CenterOwner\r\n"
        "End\r\n"
        "Attribute VB_Name = \"UserForm1\"\r\n"
        "Attribute VB_GlobalNameSpace = False\r\n"))
        << form.exportText.toStdString();
    EXPECT_FALSE(form.exportText.contains("VB_TemplateDerived"));
    // The .frx is the designer storage as a compound file of its own.
    ASSERT_GE(form.frxBytes.size(), 512);
    EXPECT_TRUE(form.frxBytes.startsWith(QByteArray::fromHex("d0cf11e0a1b11ae1")));
    EXPECT_EQ(named(project, "Chart7").fileName, "Chart7.sht");
}

TEST(VbaFixtures, ProtectedProjectHasNoTexts) {
    const Project project = Project::load(fixture("xls/poi/31749.xls"));
    ASSERT_TRUE(project.isPresent());
    EXPECT_TRUE(project.isProtected());
    for (const Component& c : project.components())
        EXPECT_TRUE(c.exportText.isEmpty()) << c.name.toStdString();
}

// A public workbook whose compressor ends chunks with a copy running past
// 4096 bytes: its modules read whole, the text across the chunk ends intact.
TEST(VbaFixtures, ChunksOverrunByTheirLastCopyReadWhole) {
    const tabulon::host::Workbook book =
        tabulon::host::Workbook::load(fixture("ooxml/epplus/EPPlusTest/Workbooks/VBADecompressBug.xlsm"));
    const Component& ui = named(*book.vbaProject(), "UI");
    EXPECT_TRUE(ui.exportText.contains("\r\n                Or Target.top = Range(MAINRANGE).top _\r\n"));
    EXPECT_TRUE(ui.exportText.contains("within the ComboBox\r\n            If Shift = 4 Then\r\n"));
    EXPECT_TRUE(ui.exportText.contains("End Select\r\nEnd Sub"));
}

TEST(VbaFixtures, GermanDocumentModulesAreSheetModulesByName) {
    // Only the English name makes the workbook module: "DieseArbeitsmappe"
    // (a German ThisWorkbook) is exported as a sheet module.
    const Project project = Project::load(fixture("xls/poi/50939.xls"));
    EXPECT_EQ(named(project, "DieseArbeitsmappe").fileName, "DieseArbeitsmappe.sht");
    EXPECT_EQ(named(project, "Tabelle521").type, ComponentType::Document);
    EXPECT_EQ(named(project, "Modul6").fileName, "Modul6.bas");
}

// The crafted projects carry the true stored source of every module.
class CraftedProject : public ::testing::TestWithParam<const char*> {};

TEST_P(CraftedProject, ExportTextsMatchTheStoredSources) {
    const QString base = fixture(QStringLiteral("xls/crafted/") + GetParam());
    const QJsonObject spec = QJsonDocument::fromJson(readAll(base + ".modules/spec.json")).object();
    const Project project = Project::load(base);
    EXPECT_EQ(project.codePage(), spec["codePage"].toInt());
    const QJsonArray modules = spec["modules"].toArray();
    ASSERT_EQ(project.components().size(), modules.size());
    for (int i = 0; i < modules.size(); ++i) {
        const QJsonObject expected = modules[i].toObject();
        const Component& actual = project.components()[i];
        SCOPED_TRACE(expected["name"].toString().toStdString());
        EXPECT_EQ(actual.name, expected["name"].toString());
        const QString source = QString::fromUtf8(readAll(base + ".modules/" + expected["sourceFile"].toString()));
        const QString kind = expected["kind"].toString();
        if (kind == "standard") {
            EXPECT_EQ(actual.type, ComponentType::Standard);
            EXPECT_EQ(actual.exportText, source);
        } else {
            EXPECT_EQ(actual.type, kind == "class" ? ComponentType::Class : ComponentType::Document);
            EXPECT_EQ(actual.exportText, classExportOf(source));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Crafted, CraftedProject,
                         ::testing::Values("japanese_vba.xls", "hostile_names.xls"));

TEST(VbaFixtures, JapaneseProjectDecodesCodePage932Traps) {
    const Project project = Project::load(fixture("xls/crafted/japanese_vba.xls"));
    EXPECT_EQ(named(project, "集計処理").fileName, "集計処理.bas");
    EXPECT_EQ(named(project, "顧客情報").fileName, "顧客情報.cls");
    QString all;
    for (const Component& c : project.components())
        all += c.exportText;
    // 0x8160 is U+FF5E in Microsoft's table; NEC specials and half-width
    // katakana survive; no byte is lost to U+FFFD.
    for (const QString& kept : {QString(QChar(0xFF5E)), QStringLiteral("①"), QStringLiteral("㈱"),
                                QStringLiteral("ｶﾀｶﾅ"), QStringLiteral("表")})
        EXPECT_TRUE(all.contains(kept)) << kept.toStdString();
    EXPECT_FALSE(all.contains(QChar(0x301C)));
    EXPECT_FALSE(all.contains(QChar(0xFFFD)));
}

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

QJsonObject vbaJsonOf(const char* relative) {
    return vbaJson(tabulon::host::Workbook::load(fixture(QString::fromUtf8(relative))));
}

TEST(VbaJsonDump, DescribesComponentsWithTheirExportText) {
    const QJsonObject json = vbaJsonOf("xls/poi/SimpleMacro.xls");
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
    const QJsonObject json = vbaJsonOf("xls/poi/31749.xls");
    EXPECT_TRUE(json["protected"].toBool());
    const QJsonArray components = json["components"].toArray();
    ASSERT_EQ(components.size(), 6);
    EXPECT_EQ(components[0].toObject()["type"].toInt(), 3);
    EXPECT_FALSE(components[0].toObject().contains("text"));
}

TEST(VbaJsonDump, NoProjectAndDamagedProject) {
    EXPECT_FALSE(vbaJsonOf("xls/poi/comments.xls")["present"].toBool());
    tabulon::model::Book book;
    book.vbaFailure = std::make_exception_ptr(
        tabulon::host::ReadError(tabulon::host::ReadFailure::ProjectDamaged, "x.xls", "dir stream cut"));
    const QJsonObject damaged = vbaJson(tabulon::host::Workbook::fromModel(book));
    EXPECT_TRUE(damaged["present"].toBool());
    EXPECT_EQ(damaged["error"].toObject()["number"].toInt(), tabulon::err::Refused);
}

// The project is read with the workbook, from the same file: a project that
// cannot be read leaves the workbook's own data readable and is told when
// the project is asked for.
TEST(VbaWithWorkbook, DamagedProjectDoesNotStopTheWorkbook) {
    QTemporaryDir folder;
    const QString path = folder.path() + "/damaged.xls";
    const QByteArray good = readAll(fixture("xls/crafted/japanese_vba.xls"));
    ASSERT_TRUE(tabulon::host::Workbook::load(fixture("xls/crafted/japanese_vba.xls")).vbaProject()->isPresent());
    int projectOnly = 0;
    for (qint64 at = good.size() / 2; at < good.size(); at += 97) {
        QByteArray bytes = good;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        std::optional<tabulon::host::Workbook> book;
        try {
            book.emplace(tabulon::host::Workbook::load(path));
        } catch (const Error&) {
            continue;  // the workbook's own streams were hit
        }
        try {
            book->vbaProject();
        } catch (const tabulon::host::ReadError& e) {
            EXPECT_EQ(e.kind(), tabulon::host::ReadFailure::ProjectDamaged) << e.description().toStdString();
            EXPECT_GE(book->sheetCount(), 1);
            ++projectOnly;
        }
    }
    EXPECT_GT(projectOnly, 0) << "some flipped bytes land in the project alone";
}

// An Office Open XML package keeps the project as a compound file of its
// own; the same project read from those bytes exports the same text.
TEST(VbaWithWorkbook, ProjectFromTheBytesOfItsOwnCompoundFile) {
    const Project fromFile = Project::load(fixture("xls/crafted/japanese_vba.xls"));
    // The project's storage written out as a compound file of its own, as an .xlsm holds it.
    const tabulon::cfb::CompoundFile file(fixture("xls/crafted/japanese_vba.xls"));
    const QByteArray bin = formBinary(file.root().storage(QStringLiteral("_VBA_PROJECT_CUR")), 64 << 20);
    const Project fromBytes = Project::fromBytes(bin, QStringLiteral("vbaProject.bin"));
    ASSERT_EQ(names(fromBytes), names(fromFile));
    for (int i = 0; i < fromFile.components().size(); ++i)
        EXPECT_EQ(fromBytes.components()[i].exportText, fromFile.components()[i].exportText);
    EXPECT_THROW(Project::fromBytes(QByteArray("not a compound file"), QStringLiteral("x.bin")), Error);
}
