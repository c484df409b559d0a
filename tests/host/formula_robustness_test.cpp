// Damaged or hostile token streams end in a clean error 1004, never in a
// crash, a hang or a read past the buffers.
#include "formula_tokens.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

using tabulon::Error;
using tabulon::test::decode;
using tabulon::test::Tokens;

namespace {

int refusal(const Tokens& t) {
    try {
        decode(t);
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

Tokens sample() {
    Tokens t;
    t.ref3d(0, 1, 1).str(QStringLiteral("abc")).number(1.5).array(1, 2).extraNumber(1).extraString(
        QStringLiteral("x"));
    t.funcVar(4, 4).u8(0x19).u8(0x04).u16(1).u16(4).u16(8).name(1).area(0, 0, 3, 3).op(0x0F);
    return t.op(0x03);
}

TEST(FormulaRobustness, SampleDecodes) {
    EXPECT_EQ(decode(sample()), QStringLiteral("=SUM(Sheet1!$B$2,\"abc\",1.5,{1,\"x\"})+Name1 A1:D4"));
}

// A cut inside a token is refused; a cut between tokens may leave a
// shorter valid formula or an unbalanced one, refused too.
TEST(FormulaRobustness, EveryCutOfTheTokensIsReadOrRefused) {
    const Tokens whole = sample();
    const std::set<size_t> insideTokens{1, 3, 5, 8, 10, 12, 14, 20};
    for (size_t n = 1; n < whole.bytes.size(); ++n) {
        Tokens cut = whole;
        cut.bytes.resize(n);
        const int number = refusal(cut);
        EXPECT_TRUE(number == 0 || number == 1004) << "cut at " << n;
        if (insideTokens.count(n)) {
            EXPECT_EQ(number, 1004) << "cut at " << n;
        }
    }
}

TEST(FormulaRobustness, EveryCutOfTheArrayConstantsIsRefused) {
    const Tokens whole = sample();
    for (size_t n = 0; n < whole.extra.size(); ++n) {
        Tokens cut = whole;
        cut.extra.resize(n);
        EXPECT_EQ(refusal(cut), 1004) << "extra cut at " << n;
    }
}

TEST(FormulaRobustness, TruncationIsNamed) {
    try {
        decode(Tokens().u8(0x1F).u8(0));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("truncated"))) << e.what();
    }
}

TEST(FormulaRobustness, MalformedStreamsAreRefused) {
    EXPECT_EQ(refusal(Tokens().op(0x03)), 1004);                       // operator without operands
    EXPECT_EQ(refusal(Tokens().integer(1).integer(2)), 1004);          // two values left
    EXPECT_EQ(refusal(Tokens().integer(1).funcVar(5, 4)), 1004);       // more arguments than values
    EXPECT_EQ(refusal(Tokens().u8(0x01).u16(0).u16(0)), 1004);         // PtgExp belongs to the reader
    EXPECT_EQ(refusal(Tokens().u8(0x02).u16(0).u16(0)), 1004);         // PtgTbl likewise
    EXPECT_EQ(refusal(Tokens().u8(0x18).u8(0x01)), 1004);              // unknown token
    EXPECT_EQ(refusal(Tokens().func(202)), 1004);                      // unused function number
    EXPECT_EQ(refusal(Tokens().integer(1).func(4)), 1004);             // variable function without count
    EXPECT_EQ(refusal(Tokens().funcVar(0, 255)), 1004);                // add-in call without a name
    EXPECT_EQ(refusal(Tokens().error(0x33)), 1004);                    // unknown error code
    EXPECT_EQ(refusal(Tokens().attr(0x80)), 1004);                     // unknown attribute
}

TEST(FormulaRobustness, HugeArrayCountIsRefusedBeforeWork) {
    Tokens t;
    t.array(65536, 256).extraNumber(1);
    EXPECT_EQ(refusal(t), 1004);
}

TEST(FormulaRobustness, DeepNestingIsRefused) {
    Tokens t;
    t.integer(1);
    for (int i = 0; i < 5000; ++i)
        t.op(0x13);
    EXPECT_EQ(refusal(t), 1004);
    Tokens shallow;
    shallow.integer(1);
    for (int i = 0; i < 100; ++i)
        shallow.op(0x15);
    EXPECT_EQ(refusal(shallow), 0);
}

TEST(FormulaRobustness, RandomBytesNeverCrash) {
    std::mt19937 rng(20261206);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 20000; ++round) {
        Tokens t;
        for (int i = length(rng); i > 0; --i)
            t.u8(byte(rng));
        for (int i = length(rng); i > 0; --i)
            t.extra.push_back(static_cast<uint8_t>(byte(rng)));
        const int number = refusal(t);
        ASSERT_TRUE(number == 0 || number == 1004) << "round " << round;
    }
}

}  // namespace
