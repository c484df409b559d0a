// File listing, module names, line reading, continued lines and
// progress values of the code analyses.
#include "analyses/code/ModuleFiles.h"
#include "analyses/code/SourceCursor.h"
#include "code_support.h"
#include "common/Error.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace tabulon::analyses::code;
using tabulon::test::code::Workspace;

namespace {

// Writes the bytes into the working folder and returns the file's path.
QString put(Workspace& ws, const QString& name, const QByteArray& bytes) {
    ws.writeBytes(name, bytes);
    return ws.temp() + name;
}

QStringList readAll(const QString& path) {
    LineReader r(path);
    QStringList lines;
    while (!r.atEnd()) lines << r.next();
    return lines;
}

TEST(ModuleListing, SortedByCodePointAndFilteredByPattern) {
    Workspace ws;
    for (const char* n : {"b.bas", "B.bas", "a.bas", "顧客.bas", "\xF0\x9F\x98\x80.bas", "\xEF\xBD\xB1.bas",
                          "x.cls", "y.frx"})
        put(ws, QString::fromUtf8(n), "x");
    QDir(ws.temp()).mkdir(QStringLiteral("dir.bas"));
    QStringList names;
    for (const QString& p : listModuleFiles(ws.temp(), QStringLiteral("*.bas"))) names << fileNamePart(p);
    // U+FF71 sorts before U+1F600 by code point (not by UTF-16 unit).
    EXPECT_EQ(names, (QStringList{"B.bas", "a.bas", "b.bas", "顧客.bas", "ｱ.bas", "\xF0\x9F\x98\x80.bas"}));
    EXPECT_EQ(listModuleFiles(ws.temp(), QStringLiteral("*.*")).size(), 7) << "form resources are not listed";
    EXPECT_TRUE(listModuleFiles(ws.temp(), QStringLiteral("*.sht")).isEmpty());
    EXPECT_EQ(listModuleFiles(ws.temp(), QStringLiteral("*.cls")).value(0), ws.temp() + "x.cls");
}

TEST(ModuleNames, TextAfterTheFirstCaseSensitiveWorkingFolderMarker) {
    const QString sep = QDir::separator();
    const std::pair<QString, QString> cases[] = {
        {"/opt/tabulon/temp" + sep + "Module1.bas", "Module1.bas"},
        {"/home/temp" + sep + "x/temp" + sep + "M.bas", "x/temp" + sep + "M.bas"},
        {"/opt/Temp" + sep + "x/temp" + sep + "M.bas", "M.bas"},
    };
    for (const auto& [path, name] : cases) EXPECT_EQ(moduleNameFromPath(path), name) << path.toStdString();
    EXPECT_EQ(fileNamePart(QStringLiteral("/a/temp/x/M.bas")), QStringLiteral("M.bas"));
    EXPECT_EQ(fileNamePart(QStringLiteral("C:\\a\\M.cls")), QStringLiteral("M.cls"));
}

TEST(ModuleNames, KindFromLastThreeCharacters) {
    const std::pair<const char*, int> cases[] = {{"/t/a.bas", 1}, {"/t/a.sht", 5}, {"/t/a.BAS", 0}, {"/t/a.frx", 0}};
    for (const auto& [path, kind] : cases) EXPECT_EQ(kindFromExtension(QString::fromUtf8(path)), kind) << path;
}

TEST(LineReading, SplitsAtCrOrCrLfLikeSequentialLineInputAndDecodesBothEncodings) {
    Workspace ws;
    const std::pair<QByteArray, QStringList> cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"a\rb\nc\r\n", {"a", "b\nc"}},
        {"", {}},
        {"\xEF\xBB\xBF" "Dim 表 As Long\r\n", {"Dim 表 As Long"}},
        {"' \x95\x5C\xB1\r\n", {"' 表ｱ"}},  // the legacy code page
    };
    for (const auto& [bytes, lines] : cases) EXPECT_EQ(readAll(put(ws, "f", bytes)), lines) << bytes.toStdString();
    EXPECT_THROW(LineReader(ws.temp() + QStringLiteral("missing")), tabulon::Error);
}

TEST(ContinuedLines, PiecesJoinedWithTheirBlankAndLastLineNumbered) {
    Workspace ws;
    LineReader r(put(ws, "c", "Public Function F(a As Long, _\r\n      b As Long, _\r\n"
                              "   c As Long) As Long\r\nx = 1\r\n"));
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
    Workspace ws;
    SourceCursor c;
    LineReader mid(put(ws, "m", "s = \"a _b\"\r\nnext\r\n"));
    readStatement(c, mid);
    EXPECT_EQ(c.logicalLine, QStringLiteral("s = \"a _bnext")) << "\" _\" in the middle still continues";
    c = SourceCursor{};
    LineReader blanks(put(ws, "b", "Dim a, _  \r\nb\r\n"));
    readStatement(c, blanks);
    EXPECT_EQ(c.logicalLine, QStringLiteral("Dim a, _ b")) << "only the last blank is cut";
}

TEST(Progress, IntOfHundredByNPlusHalfTimesModuleNumber) {
    EXPECT_EQ(progressAfterFile(1, 8), 13) << "12.5 rounds half up";
    EXPECT_EQ(progressAfterFile(150, 201), 0) << "over 200 counted modules stay at 0";
}

}  // namespace
