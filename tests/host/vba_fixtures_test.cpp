// The exported texts of the VBA projects in the shared fixtures: component
// order, kinds, file names and the editor's export format.
#include "support/TestSupport.h"

#include "host/vba/Project.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <gtest/gtest.h>

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

QString readUtf8(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
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
    EXPECT_FALSE(form.exportText.contains("TypeInfoVer"));
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
    const QJsonObject spec =
        QJsonDocument::fromJson(readUtf8(base + ".modules/spec.json").toUtf8()).object();
    const Project project = Project::load(base);
    EXPECT_EQ(project.codePage(), spec["codePage"].toInt());
    const QJsonArray modules = spec["modules"].toArray();
    ASSERT_EQ(project.components().size(), modules.size());
    for (int i = 0; i < modules.size(); ++i) {
        const QJsonObject expected = modules[i].toObject();
        const Component& actual = project.components()[i];
        SCOPED_TRACE(expected["name"].toString().toStdString());
        EXPECT_EQ(actual.name, expected["name"].toString());
        const QString source = readUtf8(base + ".modules/" + expected["sourceFile"].toString());
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
