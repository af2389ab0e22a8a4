#include "world/spell_magnitude.h"

#include "common/random.h"
#include "rule_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace VARD;
using RuleTest::CodeOf;
using RuleTest::ReaderOf;

namespace
{

std::shared_ptr<CSpellMagnitude> MagnitudeOf(const std::string& text, int level)
{
    auto reader = ReaderOf(text + " end");
    auto magnitude = CSpellMagnitude::Read(reader, level);
    EXPECT_EQ(reader.GetCurrentWord(), "end") << text;
    return magnitude;
}

} // namespace

TEST(SpellMagnitude, ReadForms)
{
    struct CCase
    {
        const char* text;
        int level;
        int low, high, dieLow, dieHigh, fixedLow, fixedHigh;
    };
    const std::vector<CCase> cases = {
        {"<value> 10 ( 4 8 ) 2 </value>", 5, 15, 25, 4, 8, 2, 2},
        {"<value> 20 6 (1 5) </value>", 3, 13, 33, 6, 6, 1, 5},
        {"<value> 0 (2 4) (1 3) </value>", 9, 0, 0, 2, 4, 1, 3},
        {"(6 2)", 4, 0, 0, 6, 6, 2, 2},
        {"( 6 -2 )", 4, 0, 0, 6, 6, -2, -2},
        {"0 7", 4, 0, 0, 0, 0, 7, 7},
        {"0 0", 4, 0, 0, 0, 0, 0, 0},
        {"12", 4, 0, 0, 0, 0, 12, 12},
    };
    for (const CCase& c : cases)
    {
        const auto m = MagnitudeOf(c.text, c.level);
        EXPECT_EQ(m->GetLowBonus(), c.low) << c.text;
        EXPECT_EQ(m->GetHighBonus(), c.high) << c.text;
        EXPECT_EQ(m->GetDieAtLow(), c.dieLow) << c.text;
        EXPECT_EQ(m->GetDieAtHigh(), c.dieHigh) << c.text;
        EXPECT_EQ(m->GetFixedAtLow(), c.fixedLow) << c.text;
        EXPECT_EQ(m->GetFixedAtHigh(), c.fixedHigh) << c.text;
    }
}

TEST(SpellMagnitude, BadForms)
{
    for (const char* bad : {"<value> 10 (4 8) </value>", "<value> 10 (4) 2 </value>",
                            "<value> x 4 2 </value>", "short", "(4 2", "<value> 10 4 2"})
    {
        auto reader = ReaderOf(bad);
        EXPECT_EQ(CodeOf([&] { CSpellMagnitude::Read(reader, 1); }), 1) << bad;
    }
}

TEST(SpellMagnitude, InterpolatesOverTheBonusSpan)
{
    const auto m = MagnitudeOf("<value> 10 ( 4 8 ) 2 </value>", 5);
    struct CCase
    {
        int bonus;
        int die;
    };
    for (const CCase& c : std::vector<CCase>{{-100, 4},
                                             {0, 4},
                                             {15, 4},
                                             {16, 4},
                                             {17, 4},
                                             {18, 5},
                                             {20, 6},
                                             {22, 6},
                                             {23, 7},
                                             {25, 8},
                                             {400, 8}})
    {
        int die = -1;
        int fixed = -1;
        m->GetDiceAt(c.bonus, die, fixed);
        EXPECT_EQ(die, c.die) << "bonus " << c.bonus;
        EXPECT_EQ(fixed, 2) << "bonus " << c.bonus;
    }

    // Both parts move; negative steps truncate toward zero.
    const CSpellMagnitude falling(10, 20, 10, 0, -1, -8);
    int die = 0;
    int fixed = 0;
    falling.GetDiceAt(13, die, fixed);
    EXPECT_EQ(die, 7);    // 10 + (-10 x 3) / 10
    EXPECT_EQ(fixed, -3); // -1 + (-7 x 3) / 10 = -1 - 2
}

TEST(SpellMagnitude, BackwardSpanStaysWithinItsEnds)
{
    const CSpellMagnitude backward(20, 10, 8, 4, 0, 0);
    int die = 0;
    int fixed = 0;
    backward.GetDiceAt(5, die, fixed);
    EXPECT_EQ(die, 4);
    backward.GetDiceAt(15, die, fixed);
    EXPECT_EQ(die, 6);
    backward.GetDiceAt(99, die, fixed);
    EXPECT_EQ(die, 8);
}

TEST(SpellMagnitude, RollIsAtLeastOne)
{
    EXPECT_EQ(CSpellMagnitude(0, 0, 0, 0, -3, -3).Roll(50), 1);
    EXPECT_EQ(CSpellMagnitude(0, 0, 0, 0, 7, 7).Roll(50), 7);

    const CSpellMagnitude d6(0, 0, 6, 6, 2, 2);
    SeedRandom(77);
    std::vector<int> expected;
    for (int i = 0; i < 300; ++i)
        expected.push_back(static_cast<int>(RandomReal() * 6) % 6 + 1 + 2);
    SeedRandom(77);
    for (int i = 0; i < 300; ++i)
    {
        const int value = d6.Roll(0);
        ASSERT_EQ(value, expected[static_cast<std::size_t>(i)]);
        ASSERT_GE(value, 3);
        ASSERT_LE(value, 8);
    }
}

TEST(SpellDuration, Words)
{
    struct CCase
    {
        const char* word;
        int low, high, atLow, atHigh;
    };
    const std::vector<CCase> cases = {
        {"0", 0, 0, 0, 0},
        {"1round", 0, 0, 10, 10},
        {"2rounds", 0, 0, 20, 20},
        {"3rounds", 0, 0, 30, 30},
        {"5rounds", 0, 0, 50, 50},
        {"10rounds", 0, 0, 100, 100},
        {"1hour", 0, 0, 3600, 3600},
        {"8hours", 0, 0, 28800, 28800},
        {"levelrounds", 15, 40, 22, 122},
        {"levelminutes", 15, 40, 132, 732},
    };
    for (const CCase& c : cases)
    {
        auto reader = ReaderOf(c.word);
        const auto d = CSpellDuration::Read(reader, 5);
        EXPECT_EQ(d->GetLowBonus(), c.low) << c.word;
        EXPECT_EQ(d->GetHighBonus(), c.high) << c.word;
        EXPECT_EQ(d->GetLengthAtLow(), c.atLow) << c.word;
        EXPECT_EQ(d->GetLengthAtHigh(), c.atHigh) << c.word;
    }
    for (const char* bad : {"1rounds", "2round", "forever", "LevelRounds", "10"})
    {
        auto reader = ReaderOf(bad);
        EXPECT_EQ(CodeOf([&] { CSpellDuration::Read(reader, 5); }), 1) << bad;
    }
}

TEST(SpellDuration, LengthAtBonus)
{
    auto reader = ReaderOf("levelrounds");
    const auto d = CSpellDuration::Read(reader, 5);
    const std::vector<std::pair<int, int>> cases = {{-5, 22},  {15, 22},  {16, 26}, {27, 70},
                                                    {39, 118}, {40, 122}, {90, 122}};
    for (const auto& [bonus, length] : cases)
        EXPECT_EQ(d->GetLengthAt(bonus), length) << "bonus " << bonus;
    EXPECT_EQ(CSpellDuration(0, 0, 30, 30).GetLengthAt(500), 30);
    EXPECT_TRUE(CSpellDuration(0, 0, 0, 0).IsIndefinite());
    EXPECT_FALSE(CSpellDuration(0, 0, 10, 10).IsIndefinite());
}
