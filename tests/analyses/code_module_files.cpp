// File listing, module names, line reading, continued lines and
// progress values of the code analyses.
#include "analyses/code/ModuleFiles.h"
#include "analyses/code/SourceCursor.h"
#include "common/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon::analyses::code;

namespace {

class Folder {
public:
    Folder() {
        QDir(dir.path()).mkpath(QStringLiteral("temp"));
        path = dir.path() + QStringLiteral("/temp/");
    }
    QString put(const QString& name, const QByteArray& bytes) {
        QFile f(path + name);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path + name;
    }
    QTemporaryDir dir;
    QString path;
};

QStringList readAll(const QString& path) {
    LineReader r(path);
    QStringList lines;
    while (!r.atEnd()) lines << r.next();
    return lines;
}

TEST(ModuleListing, SortedByCodePointAndFilteredByPattern) {
    Folder f;
    for (const char* n : {"b.bas", "B.bas", "a.bas", "顧客.bas", "\xF0\x9F\x98\x80.bas", "\xEF\xBD\xB1.bas",
                          "x.cls", "y.frx"})
        f.put(QString::fromUtf8(n), "x");
    QDir(f.path).mkdir(QStringLiteral("dir.bas"));
    QStringList names;
    for (const QString& p : listModuleFiles(f.path, QStringLiteral("*.bas"))) names << fileNamePart(p);
    // U+FF71 sorts before U+1F600 by code point (not by UTF-16 unit).
    EXPECT_EQ(names, (QStringList{QStringLiteral("B.bas"), QStringLiteral("a.bas"), QStringLiteral("b.bas"),
                                  QStringLiteral("顧客.bas"), QStringLiteral("ｱ.bas"),
                                  QString::fromUtf8("\xF0\x9F\x98\x80.bas")}));
    EXPECT_EQ(listModuleFiles(f.path, QStringLiteral("*.*")).size(), 7) << "form resources are not listed";
    EXPECT_TRUE(listModuleFiles(f.path, QStringLiteral("*.sht")).isEmpty());
    EXPECT_EQ(listModuleFiles(f.path, QStringLiteral("*.cls")).value(0), f.path + QStringLiteral("x.cls"));
}

TEST(ModuleNames, TextAfterFirstWorkingFolderMarker) {
    const QString sep = QDir::separator();
    EXPECT_EQ(moduleNameFromPath(QStringLiteral("/opt/tabulon/temp") + sep + QStringLiteral("Module1.bas")),
              QStringLiteral("Module1.bas"));
    EXPECT_EQ(moduleNameFromPath(QStringLiteral("/home/temp") + sep + QStringLiteral("x/temp") + sep +
                                 QStringLiteral("M.bas")),
              QStringLiteral("x/temp") + sep + QStringLiteral("M.bas"))
        << "the first marker counts";
    EXPECT_EQ(moduleNameFromPath(QStringLiteral("/opt/Temp") + sep + QStringLiteral("x/temp") + sep +
                                 QStringLiteral("M.bas")),
              QStringLiteral("M.bas"))
        << "the search is case-sensitive";
    EXPECT_EQ(fileNamePart(QStringLiteral("/a/temp/x/M.bas")), QStringLiteral("M.bas"));
    EXPECT_EQ(fileNamePart(QStringLiteral("C:\\a\\M.cls")), QStringLiteral("M.cls"));
}

TEST(ModuleNames, KindFromLastThreeCharacters) {
    EXPECT_EQ(kindFromExtension(QStringLiteral("/t/a.bas")), 1);
    EXPECT_EQ(kindFromExtension(QStringLiteral("/t/a.sht")), 5);
    EXPECT_EQ(kindFromExtension(QStringLiteral("/t/a.BAS")), 0);
    EXPECT_EQ(kindFromExtension(QStringLiteral("/t/a.frx")), 0);
}

TEST(LineReading, SplitsAtCrOrCrLfLikeSequentialLineInput) {
    Folder f;
    EXPECT_EQ(readAll(f.put(QStringLiteral("a"), "a\r\nb\r\n")), (QStringList{"a", "b"}));
    EXPECT_EQ(readAll(f.put(QStringLiteral("b"), "a\r\nb")), (QStringList{"a", "b"}));
    EXPECT_EQ(readAll(f.put(QStringLiteral("c"), "a\r\n\r\n")), (QStringList{"a", ""}));
    EXPECT_EQ(readAll(f.put(QStringLiteral("d"), "a\rb\nc\r\n")), (QStringList{"a", "b\nc"}));
    EXPECT_TRUE(readAll(f.put(QStringLiteral("e"), "")).isEmpty());
    EXPECT_THROW(LineReader(f.path + QStringLiteral("missing")), tabulon::Error);
}

TEST(LineReading, DecodesUtf8AndLegacyJapaneseText) {
    Folder f;
    EXPECT_EQ(readAll(f.put(QStringLiteral("u"), "\xEF\xBB\xBF" "Dim 表 As Long\r\n")),
              QStringList{QStringLiteral("Dim 表 As Long")});
    // "表ｱ" in the legacy code page: 0x95 0x5C 0xB1.
    EXPECT_EQ(readAll(f.put(QStringLiteral("s"), "' \x95\x5C\xB1\r\n")), QStringList{QStringLiteral("' 表ｱ")});
}

TEST(ContinuedLines, PiecesJoinedWithTheirBlankAndLastLineNumbered) {
    Folder f;
    LineReader r(f.put(QStringLiteral("c"), "Public Function F(a As Long, _\r\n      b As Long, _\r\n"
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
    Folder f;
    SourceCursor c;
    LineReader mid(f.put(QStringLiteral("m"), "s = \"a _b\"\r\nnext\r\n"));
    readStatement(c, mid);
    EXPECT_EQ(c.logicalLine, QStringLiteral("s = \"a _bnext")) << "\" _\" in the middle still continues";
    c = SourceCursor{};
    LineReader blanks(f.put(QStringLiteral("b"), "Dim a, _  \r\nb\r\n"));
    readStatement(c, blanks);
    EXPECT_EQ(c.logicalLine, QStringLiteral("Dim a, _ b")) << "only the last blank is cut";
}

TEST(Progress, IntOfHundredByNPlusHalfTimesModuleNumber) {
    // 33, 66, 99 and past 100 for three modules: the procedure list's progress test.
    EXPECT_EQ(progressAfterFile(1, 8), 13) << "12.5 rounds half up";
    EXPECT_EQ(progressAfterFile(150, 201), 0) << "over 200 counted modules stay at 0";
}

}  // namespace
