#include "world/rule_tables.h"

#include "common/random.h"
#include "rule_test_util.h"
#include "world/attack_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace VARD;
using RuleTest::CodeOf;

TEST(PercentileCheck, EndsOfTheDieAndTheMiddle)
{
    struct CCase
    {
        int roll;
        int bonus;
        int target;
        bool success;
    };
    const std::vector<CCase> cases = {
        {1, 500, 0, false},      {5, 500, 0, false},   {6, 0, 5, true},     {6, 0, 6, false},
        {95, 0, 95, false},      {95, -10, 85, false}, {95, 1, 95, true},   {96, -500, 1000, true},
        {100, -500, 1000, true}, {50, 10, 59, true},   {50, 10, 60, false}, {57, 5, 40, true},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(IsPercentileSuccess(c.roll, c.bonus, c.target), c.success)
            << c.roll << " " << c.bonus << " vs " << c.target;
}

TEST(PercentileCheck, RollsOneToHundredFromTheGenerator)
{
    SeedRandom(2024);
    std::vector<int> expected;
    for (int i = 0; i < 500; ++i)
        expected.push_back(static_cast<int>(RandomReal() * 100) % 100 + 1);

    SeedRandom(2024);
    for (int i = 0; i < 500; ++i)
    {
        int roll = 0;
        const bool success = RollPercentileCheck(3, 50, &roll);
        ASSERT_EQ(roll, expected[static_cast<std::size_t>(i)]);
        ASSERT_GE(roll, 1);
        ASSERT_LE(roll, 100);
        EXPECT_EQ(success, IsPercentileSuccess(roll, 3, 50));
    }
    // Without an out value the draw is still taken.
    SeedRandom(2024);
    RollPercentileCheck(0, 0);
    int second = 0;
    RollPercentileCheck(0, 0, &second);
    EXPECT_EQ(second, expected[1]);
}

TEST(RuleTexts, RollsAndNumbers)
{
    struct CCase
    {
        std::string got;
        const char* expected;
    };
    const std::vector<CCase> cases = {
        {FormatRollVsTarget(5, 57, 40), "[57 +5 vs 40]"},
        {FormatRollVsTarget(-3, 12, 40), "[12 -3 vs 40]"},
        {FormatRollVsTarget(0, 50, 50), "[50 +0 vs 50]"},
        {FormatSkillRoll(12, "Locks", 50, 40), "[Locks 50 +12 vs 40]"},
        {FormatSkillRoll(0, "Traps", 50, 30), "[Traps 50 +0 vs 30]"},
        {FormatSkillRoll(-7, "Traps", 50, 30), "[Traps 50 -7 vs 30]"},
        {FormatSignedNumber(3), "+3"},
        {FormatSignedNumber(0), "0"},
        {FormatSignedNumber(-2), "-2"},
        {FormatDiceRange(0, 5), "5"},
        {FormatDiceRange(0, -3), "-3"},
        {FormatDiceRange(6, 2), "1-6 + 2"},
        {FormatDiceRange(6, 0), "1-6"},
        {FormatDiceRange(8, -1), "1-8 - 1"},
        {FormatDiceRange(-4, -1), "- 1-4 - 1"},
        {FormatDiceRange(-4, 3), "- 1-4 + 3"},
        {FormatDamageRange(0, 2), "2"},
        {FormatDamageRange(6, 2), "3 - 8"},
        {FormatDamageRange(CAttackInfo{"Bite", 4, 10, 0}), "1 - 10"},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(c.got, c.expected);
}

TEST(RuleFormulas, SpellLevelEnergy)
{
    // Doubling every three steps past the third: 2 x (n + 2) for steps 4 to 6.
    const int energy[21] = {2, 3, 3, 4, 4, 4, 5, 5, 6, 6, 6, 8, 8, 10, 10, 10, 12, 12, 16, 16, 16};
    for (int level = 0; level <= 20; ++level)
        EXPECT_EQ(GetSpellLevelEnergy(level), energy[level]) << "level " << level;
    EXPECT_EQ(GetSpellLevelEnergy(1), 3);
    EXPECT_EQ(GetSpellLevelEnergy(8), 6);
    EXPECT_EQ(GetSpellLevelEnergy(20), 16);
    EXPECT_EQ(GetSpellLevelEnergy(30), 40);
}

TEST(RuleFormulas, SpellItemValues)
{
    struct CCase
    {
        int level;
        int itemType;
        int value;
    };
    const std::vector<CCase> cases = {
        {0, 6, 25},    {1, 6, 37},    {2, 6, 50},     {2, 7, 25},    {2, 8, 750},
        {3, 6, 229},   {3, 7, 114},   {7, 6, 400},    {12, 6, 800},  {16, 7, 696},
        {17, 6, 1600}, {27, 6, 3200}, {17, 8, 24000}, {10, 8, 9090},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(GetSpellItemValue(c.level, c.itemType), c.value)
            << "level " << c.level << " type " << c.itemType;
    for (int itemType : {0, 5, 9, 10, 11, -1})
        EXPECT_EQ(CodeOf([&] { GetSpellItemValue(3, itemType); }), 2) << itemType;
}

TEST(RuleFormulas, EncounterXp)
{
    const std::vector<std::pair<int, int>> cases = {{0, 200},  {1, 275},    {4, 724},     {5, 1000},
                                                    {6, 1584}, {10, 10000}, {20, 1000000}};
    for (const auto& [level, xp] : cases)
        EXPECT_EQ(GetEncounterXp(level), xp) << "level " << level;
}
