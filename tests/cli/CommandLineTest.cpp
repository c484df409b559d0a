// How a command's words are read: options in their forms, "--" ending them,
// and every wrong word refused with a Japanese sentence.
#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace tabulon::cli {
namespace {

CommandLine read(const QStringList& words) {
    return CommandLine(words, {{"output", 'o', true}, {"zoom", 0, true}, {"proc50"}});
}

TEST(CommandLine, OptionFormsAndPositionalWords) {
    struct Case {
        QStringList words;
        QString output;      // value of --output
        QStringList files;   // positional words
        const char* fault;   // what a wrong result would mean
    };
    const Case cases[] = {
        {{"a.xls", "-o", "dir"}, "dir", {"a.xls"}, "short option with its value"},
        {{"--output=x=y", "a.xls"}, "x=y", {"a.xls"}, "the value after the first '=' is kept whole"},
        {{"--output", "d1", "--output", "d2", "a.xls"}, "d2", {"a.xls"}, "the later of two values"},
        {{"--", "-book.xls"}, "", {"-book.xls"}, "'--' ends the options"},
        {{"-o", "--", "--", "--proc50"}, "--", {"--proc50"}, "a value may look like '--'; the next '--' ends"},
        {{"-", "a.xls"}, "", {"-", "a.xls"}, "a lone '-' is a word"},
    };
    for (const Case& c : cases) {
        const CommandLine line = read(c.words);
        EXPECT_TRUE(line.error().isEmpty()) << c.fault << ": " << line.error().toStdString();
        EXPECT_EQ(line.value("output"), c.output) << c.fault;
        EXPECT_EQ(line.positional(), c.files) << c.fault;
    }
    // An option given repeatedly (the inventory's --exclude) keeps every value in order.
    EXPECT_EQ(read({"-o", "d1", "a.xls", "--output=d2"}).values("output"), (QStringList{"d1", "d2"}));
    EXPECT_TRUE(read({"a.xls"}).values("output").isEmpty());
    EXPECT_TRUE(read({"--proc50"}).isSet("proc50"));
    EXPECT_FALSE(read({"--", "--proc50"}).isSet("proc50"));
}

TEST(CommandLine, WrongWordsAreRefusedInJapanese) {
    struct Case {
        QStringList words;
        const char* says;
    };
    const Case cases[] = {
        {{"-book.xls"}, "「-book.xls」というオプションはありません。"},
        {{"-book.xls"}, "「--」の後に指定して下さい"},
        {{"--bogus", "a.xls"}, "「--bogus」というオプションはありません。"},
        {{"a.xls", "--zoom"}, "オプション --zoom の後に値を指定して下さい。"},
        {{"--proc50=1"}, "オプション --proc50 には値を指定できません。"},
    };
    for (const Case& c : cases) {
        const QString error = read(c.words).error();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.says))) << c.words.join(' ').toStdString() << " -> "
                                                               << error.toStdString();
        EXPECT_FALSE(error.contains("Unknown") || error.contains("Missing"));
    }
}

TEST(CommandLine, NumberOptionsTakeWholeNumbersInRangeOnly) {
    QString error;
    EXPECT_EQ(numberOption(read({"--zoom", "80"}), "zoom", 10, 400, error), 80);
    for (const char* bad : {"abc", "9", "401", "8.5", ""}) {
        error.clear();
        EXPECT_FALSE(numberOption(read({"--zoom", bad}), "zoom", 10, 400, error)) << bad;
        EXPECT_TRUE(error.contains("10 から 400 までの整数")) << bad;
    }
}

}  // namespace
}  // namespace tabulon::cli
