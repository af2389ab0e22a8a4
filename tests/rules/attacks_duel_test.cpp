// Seeded melee and ranged fights through the attack order steps.

#include "attacks_test_util.h"

#include "common/random.h"
#include "world/rule_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
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
    for (const auto& line : first.lines)
        std::cout << line << "\n";

    // Orders given at tick 1000 engage at 1001; the blow falls 60 ticks later.
    EXPECT_EQ(TickOf(first.lines.front()), 1061u);
    ASSERT_GE(first.lines.size(), 2u);
    EXPECT_EQ(TickOf(first.lines[1]), 1061u);

    // The wolf holds 83, its fighting style: its recovery is the faster one.
    CArena arena(7);
    CActor& wolf = arena.Spawn("wolf", 12.5, 10.0);
    ASSERT_TRUE(wolf.HasStyleOrWeaponMastery());
    std::int32_t speed = 0;
    const double seconds = wolf.GetActionTime(2, &speed);
    EXPECT_EQ(speed, (120 * 2 / 24 + 5) / 5 + wolf.GetActionSpeedBase() +
                         wolf.GetModifierTotal(kModActionSpeed));
    const auto recovery = static_cast<std::uint32_t>(std::trunc(seconds * 30.0));
    const std::uint32_t spacing = 60 + std::max<std::uint32_t>(16, recovery);
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
