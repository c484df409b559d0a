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

Tokens nested(int depth, int op) {
    Tokens t;
    t.integer(1);
    for (int i = 0; i < depth; ++i)
        t.op(op);
    return t;
}

TEST(FormulaRobustness, MalformedStreamsAreRefused) {
    Tokens hugeArray;
    hugeArray.array(65536, 256).extraNumber(1);  // refused before the work
    const std::pair<const char*, Tokens> cases[] = {
        {"operator without operands", Tokens().op(0x03)},
        {"two values left", Tokens().integer(1).integer(2)},
        {"more arguments than values", Tokens().integer(1).funcVar(5, 4)},
        {"PtgExp belongs to the reader", Tokens().u8(0x01).u16(0).u16(0)},
        {"PtgTbl likewise", Tokens().u8(0x02).u16(0).u16(0)},
        {"unknown token", Tokens().u8(0x18).u8(0x01)},
        {"unused function number", Tokens().func(202)},
        {"variable function without count", Tokens().integer(1).func(4)},
        {"add-in call without a name", Tokens().funcVar(0, 255)},
        {"unknown error code", Tokens().error(0x33)},
        {"unknown attribute", Tokens().attr(0x80)},
        {"huge array count", hugeArray},
        {"deep nesting", nested(5000, 0x13)},
    };
    for (const auto& [what, tokens] : cases)
        EXPECT_EQ(refusal(tokens), 1004) << what;
    EXPECT_EQ(refusal(nested(100, 0x15)), 0);
    try {
        decode(Tokens().u8(0x1F).u8(0));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("truncated"))) << e.what();
    }
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
