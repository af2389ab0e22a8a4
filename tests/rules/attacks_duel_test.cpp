// Seeded melee and ranged fights through the attack order steps.

#include "attacks_test_util.h"

#include "common/random.h"
#include "world/rule_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace VARD;
using CombatTest::CArena;

namespace
{

struct CDuel
{
    std::vector<std::string> lines;
    std::uint32_t deathTick = 0;
    std::vector<std::uint32_t> wolfBlows;
};

std::uint32_t TickOf(const std::string& line)
{
    return static_cast<std::uint32_t>(std::stoul(line.substr(0, line.find(' '))));
}

// The hero and a wolf, side by side, each ordered to attack the other.
CDuel RunDuel(std::uint32_t seed)
{
    CArena arena(seed);
    CActor& hero = arena.MakeFighter(arena.Hero(), 2, "long_sword", "chain_mail");
    CActor& wolf = arena.Spawn("wolf", 12.5, 10.0);
    wolf.SetHitPointBase(200);
    // A slow wolf that holds 83, the style of a creature without weapons.
    wolf.SetActionSpeedBase(0);
    wolf.Skills().insert(kSkillNone);
    hero.QueueOrder(std::make_shared<CAttackOrder>(wolf.Id()), false);
    wolf.QueueOrder(std::make_shared<CAttackOrder>(hero.Id()), false);

    CDuel duel;
    for (int i = 0; i < 3000 && duel.deathTick == 0; ++i)
    {
        arena.Step();
        for (const auto& line : arena.TakeLines())
        {
            duel.lines.push_back(line);
            if (line.find(" has killed ") != std::string::npos)
                duel.deathTick = TickOf(line);
            if (line.find(" Wolf (Bite) ") != std::string::npos)
                duel.wolfBlows.push_back(TickOf(line));
        }
    }
    return duel;
}

} // namespace

TEST(AttacksDuel, SeededDuelRepeatsAndKeepsTheBlowTimes)
{
    const CDuel first = RunDuel(7);
    const CDuel second = RunDuel(7);
    ASSERT_FALSE(first.lines.empty());
    EXPECT_EQ(first.lines, second.lines);
    EXPECT_NE(first.deathTick, 0u);
    EXPECT_EQ(first.deathTick, second.deathTick);
    // The opening and the end of the fight, as seed 7 has them.
    const std::vector<std::string> opening{
        "1061 23 Hero hits [78 +30 vs 76] Wolf for 27 damage.",
        "1061 22 Wolf (Bite) misses Hero [44 +3 vs 80].",
        "1223 23 Hero hits [98 +30 vs 76] Wolf for 37 damage.",
        "1223 22 Wolf (Bite) misses Hero [46 +3 vs 80].",
    };
    ASSERT_GE(first.lines.size(), opening.size() + 2);
    EXPECT_EQ(std::vector<std::string>(first.lines.begin(), first.lines.begin() + 4), opening);
    EXPECT_EQ(first.lines[first.lines.size() - 2],
              "3167 23 Hero hits [93 +30 vs 76] Wolf for 42 damage.");
    EXPECT_EQ(first.lines.back(), "3167 26 Hero has killed Wolf.");
    EXPECT_EQ(first.deathTick, 3167u);

    // Orders given at tick 1000 engage at 1001; the blow falls 60 ticks later.
    EXPECT_EQ(TickOf(first.lines.front()), 1061u);
    ASSERT_GE(first.lines.size(), 2u);
    EXPECT_EQ(TickOf(first.lines[1]), 1061u);

    // Holding 83, the wolf recovers by its attack rate: 3.4 s, not 4.0 s.
    CArena arena(7);
    CActor& wolf = arena.Spawn("wolf", 12.5, 10.0);
    wolf.SetActionSpeedBase(0);
    EXPECT_FALSE(wolf.HasStyleOrWeaponMastery());
    EXPECT_EQ(wolf.GetActionTime(2), 4.0);
    wolf.Skills().insert(kSkillNone);
    ASSERT_TRUE(wolf.HasStyleOrWeaponMastery());
    EXPECT_DOUBLE_EQ(wolf.GetActionTime(2), 4.0 - (120 * 2 / 24 + 5) / 5 / 5.0);
    // Alarmed for 15 ticks, recovering until 102, winding up for 60.
    const std::uint32_t spacing = 102 + 60;
    ASSERT_GE(first.wolfBlows.size(), 2u);
    for (std::size_t i = 1; i < first.wolfBlows.size(); ++i)
        EXPECT_EQ(first.wolfBlows[i] - first.wolfBlows[i - 1], spacing) << i;
}

TEST(AttacksFlanking, TheWindowEndsAfter195Ticks)
{
    struct Case
    {
        std::uint32_t started;
        std::uint32_t sinceStart;
        int engagedWith; // 0 nobody, 1 the attacker, 2 someone else
        bool flanked;
    };
    const Case cases[] = {
        {900, 195, 2, true}, {900, 196, 2, false}, {900, 195, 1, false},
        {900, 0, 0, true},   {0, 5, 2, false},
    };
    for (const Case& c : cases)
    {
        CArena arena(2);
        CActor& hero = arena.MakeFighter(arena.Hero(), 2, "long_sword", "");
        CActor& rat = arena.Spawn("giant_rat", 12.0, 10.0);
        CActor& other = arena.Spawn("giant_rat", 14.0, 10.0);
        rat.SetHitPointBase(1000);
        rat.SetEngagementTick(c.started);
        rat.SetEngagementTargetId(c.engagedWith == 0   ? 0
                                  : c.engagedWith == 1 ? hero.Id()
                                                       : other.Id());
        arena.CGame().SetTick(c.started + c.sinceStart);
        SeedRandom(3);
        int roll = 0;
        RollPercentileCheck(0, 0, &roll);
        SeedRandom(3);
        arena.Engine().ResolveMeleeSwings(hero, rat);
        const auto lines = arena.TakeLines();
        ASSERT_EQ(lines.size(), 1u);
        const CAttackInfo attack = hero.DescribeAttack(0, c.flanked, nullptr);
        const std::string text =
            FormatRollVsTarget(attack.attackBonus, roll, rat.DescribeDefense(false, nullptr)) +
            (c.flanked ? " [flanking]" : "");
        EXPECT_NE(lines[0].find(text), std::string::npos) << lines[0];
        EXPECT_EQ(lines[0].find("[flanking]") != std::string::npos, c.flanked) << lines[0];
    }
}
