// Settings-file rules: defaults, case-insensitive names, legacy CP932 files,
// edits that keep the rest of the file, and the recent-file list.
#include "intake/Profile.h"

#include "common/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tabulon::intake;

namespace {

class ProfileFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Tabulon.ini"));

    void put(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes() {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString read(const char* section, const char* key) {
        return readProfileString(path, QString::fromUtf8(section), QString::fromUtf8(key),
                                 QStringLiteral("DEF"));
    }
};

// How a stored value is found and read, one file per case.
TEST_F(ProfileFile, ReadingRules) {
    struct Case {
        QByteArray file;
        const char* section;
        const char* key;
        QString expected;
    };
    EXPECT_EQ(read("POS", "T"), "DEF");  // no file at all
    const Case cases[] = {
        {"[POS]\r\nT=10\r\n", "DEF", "Folder", "DEF"},  // no such section
        {"[POS]\r\nT=10\r\n", "POS", "L", "DEF"},       // no such key
        // names compare without case, blanks around are dropped
        {"[pos]\r\n  t = 1440  \r\n[Other]\r\nT=9\r\n", "POS", "T", "1440"},
        {"[pos]\r\n  t = 1440  \r\n[Other]\r\nT=9\r\n", "other", "t", "9"},
        // keys of another section are not seen
        {"[A]\r\nX=1\r\n[B]\r\nY=2\r\n", "A", "Y", "DEF"},
        {"[A]\r\nX=1\r\n[B]\r\nY=2\r\n", "B", "X", "DEF"},
        {QByteArray("[S]\r\nK=ab\0cd\r\n", 14), "S", "K", "ab"},  // the value ends at its first NUL
        {"[DEF]\r\nFolder=\r\n", "DEF", "Folder", ""},             // an empty value is not the default
        // "C:\データ\" in the Japanese ANSI code page: the 0x5C trail byte of ﾃ
        // is no separator
        {"[DEF]\r\nFolder=C:\\\x83\x66\x81\x5B\x83\x5E\\\r\n", "DEF", "Folder", QStringLiteral("C:\\データ\\")},
        {"\xEF\xBB\xBF[DEF]\r\nFolder=/home/太郎/\r\n", "DEF", "Folder", QStringLiteral("/home/太郎/")},
    };
    for (const Case& c : cases) {
        put(c.file);
        EXPECT_EQ(read(c.section, c.key), c.expected) << c.file.toStdString();
    }
}

// A write creates what is missing, replaces the key in place and puts a new
// key at the end of its section, before blank lines; every other line stays.
TEST_F(ProfileFile, WritingRules) {
    const struct {
        QByteArray before;
        const char *section, *key, *value;
        QByteArray after;
    } cases[] = {
        {"", "POS", "T", "15", "[POS]\r\nT=15\r\n"},
        {"[POS]\r\nT=15\r\n", "DEF", "Folder", "/x/", "[POS]\r\nT=15\r\n\r\n[DEF]\r\nFolder=/x/\r\n"},
        {"; comment\r\n[POS]\r\nt=1\r\nL=2\r\n\r\n[RECENT]\r\nRecentFile1=a\r\n", "pos", "T", "99",
         "; comment\r\n[POS]\r\nT=99\r\nL=2\r\n\r\n[RECENT]\r\nRecentFile1=a\r\n"},
        {"[POS]\r\nT=1\r\n\r\n[DEF]\r\nFolder=x\r\n", "POS", "L", "2",
         "[POS]\r\nT=1\r\nL=2\r\n\r\n[DEF]\r\nFolder=x\r\n"},
        {"", "S", "K", "one\r\n[Evil]\r\nX=1", "[S]\r\nK=one\r\n"},  // a value cannot add lines
        // a legacy CP932 file is rewritten as UTF-8, keeping its text
        {"[DEF]\r\nFolder=\x83\x66\x81\x5B\x83\x5E\r\n", "POS", "T", "0",
         "[DEF]\r\nFolder=データ\r\n\r\n[POS]\r\nT=0\r\n"},
    };
    for (const auto& c : cases) {
        if (c.before.isEmpty()) QFile::remove(path);
        else put(c.before);
        writeProfileString(path, c.section, c.key, c.value);
        EXPECT_EQ(bytes(), c.after) << c.before.toStdString();
        // the file is replaced whole, no temporary left beside it
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Tabulon.ini")});
    }
}

TEST_F(ProfileFile, WriteThatCannotCreateTheFileIsError75) {
    const QString unreachable = dir.filePath(QStringLiteral("missing/Tabulon.ini"));
    try {
        writeProfileString(unreachable, "POS", "T", "2");
        FAIL() << "write into a missing folder succeeded";
    } catch (const tabulon::Error& e) {
        EXPECT_EQ(e.number(), 75);
    }
}

// --- recent files --------------------------------------------------------

TEST_F(ProfileFile, RecentSlotsHoldingZeroOrMissingAreEmpty) {
    for (const QString& e : GetRecentFiles(path)) EXPECT_FALSE(isRecentSlotUsed(e));
    put("[RECENT]\r\nRecentFile1=/a.xls\r\nRecentFile2=0\r\nRecentFile3=/c.xls\r\n");
    const RecentFiles list = GetRecentFiles(path);
    EXPECT_EQ(list, (RecentFiles{"/a.xls", "0", "/c.xls", "0"}));
    EXPECT_TRUE(isRecentSlotUsed(list[0]));
    EXPECT_FALSE(isRecentSlotUsed(list[1]));
}

// At exit the workbook of this run heads the list, even when it is listed
// already; an empty slot is not written and keeps its old value.
TEST_F(ProfileFile, ExitStoresTheWorkbookOfThisRunFirst) {
    const struct {
        RecentFiles stored;
        QString opened;
        RecentFiles expected;
    } cases[] = {
        {{"A", "B", "C", "D"}, "X", {"X", "A", "B", "C"}},
        {{"A", "B", "C", "D"}, "A", {"A", "A", "B", "C"}},
        {{"A", "0", "C", "D"}, "X", {"X", "A", "C", "C"}},
        {{"A", "B", "C", "D"}, "", {"A", "B", "C", "D"}},  // no workbook this run
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 4; ++i)
            writeProfileString(path, "RECENT", QStringLiteral("RecentFile%1").arg(i + 1), c.stored[i]);
        WriteRecentFiles(path, GetRecentFiles(path), c.opened);
        EXPECT_EQ(GetRecentFiles(path), c.expected) << c.stored[1].toStdString() << c.opened.toStdString();
    }
}

}  // namespace
