// The modules as the code chapters walk them: visiting order, kinds, the
// exporter's header, which modules hold code, line splitting, continued
// lines and progress values.
#include "analyses/code/CodeModules.h"
#include "analyses/code/SourceCursor.h"
#include "code_support.h"
#include "common/Error.h"
#include "intake/ProjectCode.h"

#include <gtest/gtest.h>

using namespace tabulon::analyses::code;
using tabulon::test::code::Workspace;

namespace {

QStringList readAll(const QStringList& lines) {
    LineReader r(lines);
    QStringList out;
    while (!r.atEnd()) out << r.next();
    return out;
}

QStringList namesOf(const CodeModules& modules) {
    QStringList names;
    for (const CodeModule& m : modules) names << m.fileName;
    return names;
}

// Kind by kind, within a kind by code point (U+FF71 before U+1F600, which a
// UTF-16 comparison would put the other way round).
TEST(ModuleOrder, KindByKindThenByCodePoint) {
    CodeModules modules;
    for (const char* n : {"Sheet1.sht", "b.bas", "x.cls", "B.bas", "ThisWorkbook.bok", "a.bas", "顧客.bas",
                          "\xF0\x9F\x98\x80.bas", "\xEF\xBD\xB1.bas", "F.frm", "y.frx", "notes.txt"}) {
        CodeModule m = codeModule(QString::fromUtf8(n), QStringLiteral("x\r\n"));
        if (m.kind) modules.push_back(m);
    }
    putInVisitingOrder(modules);
    EXPECT_EQ(namesOf(modules), (QStringList{"B.bas", "a.bas", "b.bas", "顧客.bas", "ｱ.bas", "\xF0\x9F\x98\x80.bas",
                                             "x.cls", "F.frm", "ThisWorkbook.bok", "Sheet1.sht"}))
        << "no module for .frx or other files";
    QStringList byName;
    for (const CodeModule* m : modulesOf(modules, {2, 4, 5}, true)) byName << m->fileName;
    EXPECT_EQ(byName, (QStringList{"Sheet1.sht", "ThisWorkbook.bok", "x.cls"}));
}

TEST(ModuleKinds, KindFromTheLastThreeCharactersOfTheFileName) {
    const std::pair<const char*, int> cases[] = {{"a.bas", 1}, {"a.sht", 5}, {"a.BAS", 0}, {"a.frx", 0}};
    for (const auto& [name, kind] : cases) EXPECT_EQ(kindFromExtension(QString::fromUtf8(name)), kind) << name;
}

// Only the VERSION 1.0 CLASS block of class and document modules is the
// exporter's header; a form's design lines are not counted in it.
TEST(ModuleKinds, ExporterHeaderOfClassAndDocumentModules) {
    const QString header = QStringLiteral("VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
                                          "Attribute VB_Name = \"C\"\r\n");
    EXPECT_EQ(codeModule(QStringLiteral("C.cls"), header).headerLines, 4);
    EXPECT_EQ(codeModule(QStringLiteral("Sheet1.sht"), header).headerLines, 4);
    EXPECT_EQ(codeModule(QStringLiteral("F.frm"), QStringLiteral("VERSION 5.00\r\nBegin\r\nEnd\r\n")).headerLines, 0);
    EXPECT_EQ(codeModule(QStringLiteral("M.bas"), QStringLiteral("Sub A()\r\n")).headerLines, 0);
    EXPECT_EQ(codeModule(QStringLiteral("S.sht"), QStringLiteral("VERSION 1.0 CLASS\r\n")).headerLines, 1)
        << "never more lines than the module has";
}

// The sheet and workbook modules every saved workbook carries are empty or
// hold only attributes and Option lines; event code in them is code.
TEST(ModuleCode, MoreThanAttributesOptionsAndBlanks) {
    const QString header = QStringLiteral("VERSION 1.0 CLASS\r\nBEGIN\r\n  MultiUse = -1  'True\r\nEND\r\n"
                                          "Attribute VB_Name = \"Sheet1\"\r\nAttribute VB_Exposed = True\r\n");
    const std::pair<QString, bool> cases[] = {
        {header, false},
        {header + "Option Explicit\r\n\r\n  \r\nOption Compare Text\r\n", false},
        {header + "Option Explicit\r\nPrivate Sub Worksheet_Change(ByVal t As Range)\r\nEnd Sub\r\n", true},
        {header + "' kept for the next release\r\n", true},
        {QStringLiteral("Attribute VB_Name = \"M\"\r\nDim x\r\n"), true},
        {QStringLiteral("Attribute VB_Name = \"M\"\r\n"), false},
        {QStringLiteral("VERSION 5.00\r\nBegin {C62A69F0-16DC-11CE-9E98-00AA00574A4F} F\r\n   Caption = \"x\"\r\nEnd\r\n"
                        "Attribute VB_Name = \"F\"\r\n"),
         false},
        {QString(), false},
    };
    for (const auto& [text, code] : cases) EXPECT_EQ(tabulon::intake::holdsCode(text), code) << text.toStdString();
}

TEST(LineReading, SplitsAtCrOrCrLfLikeSequentialLineInput) {
    const std::pair<QString, QStringList> cases[] = {
        {"a\r\nb\r\n", {"a", "b"}}, {"a\r\nb", {"a", "b"}},         {"a\r\n\r\n", {"a", ""}},
        {"a\rb\nc\r\n", {"a", "b\nc"}}, {"", {}},
    };
    for (const auto& [text, lines] : cases) EXPECT_EQ(readAll(splitModuleLines(text)), lines) << text.toStdString();
    const QStringList none;
    LineReader r(none);
    EXPECT_THROW(r.next(), tabulon::Error) << "reading past the end is error 62";
}

TEST(ContinuedLines, PiecesJoinedWithTheirBlankAndLastLineNumbered) {
    const QStringList lines{"Public Function F(a As Long, _", "      b As Long, _", "   c As Long) As Long", "x = 1"};
    LineReader r(lines);
    SourceCursor c;
    readStatement(c, r);
    EXPECT_EQ(c.logicalLine, QStringLiteral("Public Function F(a As Long, b As Long, c As Long) As Long"));
    EXPECT_EQ(c.rawLine, QStringLiteral("   c As Long) As Long"));
    EXPECT_EQ(c.lineNumber, 3);
    c.logicalLine.clear();
    readStatement(c, r);
    EXPECT_EQ(c.logicalLine, QStringLiteral("x = 1"));
    EXPECT_EQ(c.lineNumber, 4);
}

TEST(ContinuedLines, QuirksOfTheContinuationMark) {
    SourceCursor c;
    const QStringList middle{"s = \"a _b\"", "next"};
    LineReader mid(middle);
    readStatement(c, mid);
    EXPECT_EQ(c.logicalLine, QStringLiteral("s = \"a _bnext")) << "\" _\" in the middle still continues";
    c = SourceCursor{};
    const QStringList trailing{"Dim a, _  ", "b"};
    LineReader blanks(trailing);
    readStatement(c, blanks);
    EXPECT_EQ(c.logicalLine, QStringLiteral("Dim a, _ b")) << "only the last blank is cut";
}

// A module whose last line is continued: the unfinished statement ends with
// the module instead of reading past it.
TEST(ContinuedLines, TheLastLineOfAModuleEndsTheStatement) {
    const QStringList lines{"x = 1", "Call Run(a, _"};
    LineReader r(lines);
    SourceCursor c;
    readStatement(c, r);
    c.logicalLine.clear();
    readStatement(c, r);
    EXPECT_EQ(c.logicalLine, QStringLiteral("Call Run(a, "));
    EXPECT_EQ(c.lineNumber, 2);
    EXPECT_TRUE(r.atEnd());
}

TEST(Progress, IntOfHundredByNPlusHalfTimesModuleNumber) {
    EXPECT_EQ(progressAfterFile(1, 8), 13) << "12.5 rounds half up";
    EXPECT_EQ(progressAfterFile(150, 201), 0) << "over 200 counted modules stay at 0";
}

}  // namespace
